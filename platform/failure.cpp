#include "failure.hpp"

#include <new>
#include <utility>

namespace scene {

namespace {
struct FailureInfo {
    int Number;
    const char* Description;
};

FailureInfo Info(FailureKind kind) {
    switch (kind) {
        case FailureKind::InvalidArgument:
            return {5, "Invalid procedure call or argument"};
        case FailureKind::Overflow:
            return {6, "Overflow"};
        case FailureKind::OutOfMemory:
            return {7, "Out of memory"};
        case FailureKind::OutOfRange:
            return {9, "Subscript out of range"};
        case FailureKind::DivisionByZero:
            return {11, "Division by zero"};
        case FailureKind::TypeMismatch:
            return {13, "Type mismatch"};
        case FailureKind::FileNotFound:
            return {53, "File not found"};
        case FailureKind::DiskFull:
            return {61, "Disk full"};
        case FailureKind::ReadPastEnd:
            return {62, "Input past end of file"};
        case FailureKind::PermissionDenied:
            return {70, "Permission denied"};
        case FailureKind::DiskNotReady:
            return {71, "Disk not ready"};
        case FailureKind::AccessFailure:
            return {75, "Path/File access error"};
        case FailureKind::PathNotFound:
            return {76, "Path not found"};
    }
    return {5, "Invalid procedure call or argument"};
}
}  // namespace

int FailureNumber(FailureKind kind) {
    return Info(kind).Number;
}
const char* FailureDescription(FailureKind kind) {
    return Info(kind).Description;
}

Failure::Failure(FailureKind kind, std::string path, std::string reason)
    : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

std::string Failure::PathAndReason() const {
    return reason_.empty() ? path_ : path_ + ": " + reason_;
}

std::optional<Failure> AsFailure(const std::exception& stopped) {
    if (const auto* failure = dynamic_cast<const Failure*>(&stopped)) return *failure;
    if (dynamic_cast<const std::bad_alloc*>(&stopped)) return Failure(FailureKind::OutOfMemory);
    return std::nullopt;
}

}  // namespace scene
