// SHA-256 (FIPS 180-4) of a byte string, for naming the exact contents of a file in a record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace axolite {

class Sha256 {
public:
    Sha256();
    // Adds bytes to the message; may be called any number of times.
    void update(std::string_view bytes);
    // The digest of everything added; the object must not be updated afterwards.
    std::array<std::uint8_t, 32> finish();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t length_ = 0; // bytes added
};

// The digest of the bytes as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

} // namespace axolite
