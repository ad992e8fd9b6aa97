// UTF-8 validation and the code page 1251 conversions.
#include "core/platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace axolite::platform {
namespace {

TEST(TextEncoding, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ASCII"));
    EXPECT_TRUE(isValidUtf8("Нейронная сеть € 𝄞"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xD0"));             // cut short
    EXPECT_FALSE(isValidUtf8("\xD0\x41"));         // bad continuation
    EXPECT_FALSE(isValidUtf8("\x80"));
    EXPECT_FALSE(isValidUtf8("\xCD\xE5\xE9\xF0\xEE\xED")); // "Нейрон" in code page 1251
}

TEST(TextEncoding, Utf8ValidationFindsASequenceWhereverItStandsInTheAsciiAroundIt) {
    // Long ASCII runs are checked in blocks: a sequence must be seen at every offset and at
    // the very end.
    for (std::size_t before = 0; before <= 17; ++before) {
        for (std::size_t after = 0; after <= 9; ++after) {
            const std::string pad(before, 'a');
            const std::string tail(after, 'b');
            EXPECT_TRUE(isValidUtf8(pad + "\xD0\xAF" + tail)) << before << ' ' << after;
            EXPECT_FALSE(isValidUtf8(pad + "\xD0" + tail)) << before << ' ' << after;
            EXPECT_FALSE(isValidUtf8(pad + "\xED\xA0\x80" + tail)) << before << ' ' << after;
        }
    }
}

TEST(TextEncoding, Cp1251RoundTrip) {
    const std::string utf8 = "Нейронная сеть: ёЁ №«»–—€";
    const std::string cp1251 = utf8ToCp1251(utf8);
    EXPECT_EQ(cp1251.substr(0, 6), "\xCD\xE5\xE9\xF0\xEE\xED");
    EXPECT_EQ(cp1251ToUtf8(cp1251), utf8);
    // Every byte survives the way there and back, the unassigned one too (as U+0098).
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(byte)), byte) << b;
    }
    EXPECT_EQ(cp1251ToUtf8("\x98"), "\xC2\x98");
}

TEST(TextEncoding, CharactersWithoutACodeBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1251("a中b𝄞c"), "a?b?c");
    EXPECT_EQ(utf8ToCp1251("a\xFF"
                           "b"),
              "a?b");
}

} // namespace
} // namespace axolite::platform
