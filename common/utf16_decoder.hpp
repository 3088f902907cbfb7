// UTF-16 text as UTF-8, converted piece by piece as a file is read: what one piece leaves open
// (half a code unit, the first half of a surrogate pair) is completed by the next.
#pragma once

#include <cstddef>

namespace scene {

class Utf16Decoder {
  public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

    // The most bytes Decode writes for a piece of `size` bytes.
    static constexpr size_t MaxOutput(size_t size) { return size / 2 * 3 + 6; }
    // Writes the UTF-8 of the piece at `out`; returns the end of what it wrote. A surrogate that
    // is not half of a pair becomes U+FFFD.
    char* Decode(const char* piece, size_t size, char* out);
    // The end of the text: a pair's first half or a last odd byte left open becomes U+FFFD.
    char* Finish(char* out);

  private:
    bool bigEndian_;
    int oddByte_ = -1;            // the first byte of a code unit split between pieces
    char32_t highSurrogate_ = 0;  // the first half of a pair split between pieces
};

}  // namespace scene
