// What the fuzz targets share: the input as a file in a scratch folder, the line rule in its
// plainest form to compare with, and a check that turns a broken promise into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "test_files.hpp"

namespace scene {

// This process's scratch folder, removed when the fuzzer ends normally.
const TempDir& Scratch();

// Writes the bytes as the file `name` of the scratch folder; returns its path.
std::string WriteInput(const std::string& name, std::string_view bytes);

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The lines of a text as the reading rule has them: CR or CR LF ends a line, a lone LF is an
// ordinary character, no empty last line after a final line end.
std::vector<std::string> ReferenceLines(std::string_view bytes);

// Every line ended by CR LF (the empty text too), as the tools write.
bool IsWrittenText(std::string_view bytes);

[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);

// Aborts with the condition, so that libFuzzer keeps the input as a finding.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))

}  // namespace scene
