// Reading description files: the encoding is chosen by the bytes, lines are split on '\n'.
#include "core/language/description_text.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace axolite::language {
namespace {

using Lines = std::vector<std::string>;

TEST(DescriptionText, ValidUtf8IsReadAsUtf8AndConvertedToTheCodePage) {
    const DescriptionText text = decodeDescription("// Сеть\nneurons 2;\n");
    EXPECT_EQ(text.encoding, TextEncoding::Utf8);
    EXPECT_EQ(text.lineList(), (Lines{"// \xD1\xE5\xF2\xFC", "neurons 2;", ""}));
}

TEST(DescriptionText, OtherBytesAreReadAsCodePage1251) {
    const DescriptionText text = decodeDescription("// \xD1\xE5\xF2\xFC\r\nneurons 2;");
    EXPECT_EQ(text.encoding, TextEncoding::Cp1251);
    EXPECT_EQ(text.lineList(), (Lines{"// \xD1\xE5\xF2\xFC", "neurons 2;"}));
}

TEST(DescriptionText, LineBreaks) {
    EXPECT_EQ(decodeDescription("").lineList(), Lines{""});
    EXPECT_EQ(decodeDescription("a\r\nb\r\n").lineList(), (Lines{"a", "b", ""}));
    // A carriage return that is not part of a line break stays (the lexer takes it as a blank).
    EXPECT_EQ(decodeDescription("a\rb\n\r").lineList(), (Lines{"a\rb", "\r"}));
    EXPECT_EQ(decodeDescription("\n\n").lineList(), (Lines{"", "", ""}));
}

TEST(DescriptionText, ByteOrderMarkIsDropped) {
    const DescriptionText text = decodeDescription("\xEF\xBB\xBFneurons 2;");
    EXPECT_EQ(text.encoding, TextEncoding::Utf8);
    EXPECT_EQ(text.lineList(), Lines{"neurons 2;"});
}

TEST(DescriptionText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(decodeDescription("x 中 y").lineList(), Lines{"x ? y"});
}

TEST(DescriptionText, AnyBytesDecodeWithoutFailing) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.push_back(static_cast<char>((i * 37 + i / 256) & 0xFF));
    }
    const DescriptionText text = decodeDescription(bytes);
    EXPECT_EQ(text.encoding, TextEncoding::Cp1251);
    std::size_t total = 0;
    for (const std::string& line : text.lineList()) {
        total += line.size() + 1;
    }
    EXPECT_EQ(total, bytes.size() + 1); // every byte kept, the line breaks taken out
}

TEST(DescriptionText, ReadsFilesAndRefusesWhatCannotBeRead) {
    const axolite::test::TempDir dir;
    axolite::test::writeFile(dir / "a.net", "neurons 2;\r\nend\r\n");
    const auto text = readDescriptionFile(dir / "a.net");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->lineList(), (Lines{"neurons 2;", "end", ""}));
    EXPECT_FALSE(readDescriptionFile(dir / "missing.net"));
    EXPECT_FALSE(readDescriptionFile(dir.path()));

    // Empty and long files come in whole.
    axolite::test::writeFile(dir / "empty.net", "");
    EXPECT_EQ(readDescriptionFile(dir / "empty.net")->lineList(), Lines{""});
    std::string long_;
    for (int i = 0; i < 20000; ++i) {
        long_ += "neuron " + std::to_string(i) + ", weight 1;\n";
    }
    axolite::test::writeFile(dir / "long.net", long_);
    EXPECT_EQ(readDescriptionFile(dir / "long.net")->lineList(),
              decodeDescription(long_).lineList());
}

} // namespace
} // namespace axolite::language
