// SHA-256 against the test vectors of FIPS 180-4, including messages that end at and across the
// padding boundary, and a message added in pieces.
#include "core/common/sha256.h"

#include <gtest/gtest.h>

#include <string>

using axolite::sha256Hex;

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits into the first block.
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    const std::string message(200, 'x');
    axolite::Sha256 hash;
    for (std::size_t at = 0; at < message.size(); at += 7) {
        hash.update(std::string_view(message).substr(at, 7));
    }
    std::string hex;
    for (const auto byte : hash.finish()) {
        static constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    EXPECT_EQ(hex, sha256Hex(message));
}
