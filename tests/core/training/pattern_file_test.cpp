// Pattern files: the writer's exact text and the reader's rules and messages.
#include "core/training/pattern_file.h"

#include "core/platform/atomic_file.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <future>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace axolite;
using namespace axolite::training;

namespace {

PatternReadResult readText(const std::string& text, int patterns, int width,
                           PatternRole role = PatternRole::Input) {
    return readPatternText(text, patterns, width, role);
}

} // namespace

TEST(PatternFileWriter, WritesEachValueWithOneBlankAndNoLineBreak) {
    EXPECT_EQ(formatPatternValues({1.0, 0.1, -2.5, 1e-05, 1234567.0, 0.0}),
              "1 0.1 -2.5 1e-05 1.23457e+06 0 ");
    EXPECT_EQ(formatPatternValues({}), "");
}

TEST(PatternFileWriter, WritesTheFileAndRefusesAPathThatCannotBeCreated) {
    test::TempDir dir;
    const std::string path = (dir / "out.ptn").string();
    writePatternFile(path, {1.5, 2.0});
    EXPECT_EQ(test::readFile(path), "1.5 2 ");
    writePatternFile(path, {3.0}); // truncates
    EXPECT_EQ(test::readFile(path), "3 ");

    const std::string bad = (dir / "missing" / "out.ptn").string();
    try {
        writePatternFile(bad, {1.0});
        FAIL() << "no refusal";
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_EQ(e.text(), "Невозможно создать файл " + bad);
    }
}

TEST(PatternFileWriter, AFullDiskKeepsTheOldFileAndSaysTheWriteFailed) {
    test::TempDir dir;
    const std::string path = (dir / "out.ptn").string();
    test::writeFile(path, "1 2 3 ");
    try {
        test::FileSizeLimit limit(4096);
        writePatternFile(path, std::vector<double>(10000, 0.125));
        FAIL() << "no refusal";
    } catch (const platform::FileWriteError& e) {
        EXPECT_EQ(e.step(), platform::FileWriteStep::Write);
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_EQ(e.text(), "Ошибка при записи файла " + path);
    }
    EXPECT_EQ(test::readFile(path), "1 2 3 ");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(PatternFileReader, ReadsExactlyPTimesNNumbersOnOneOrManyLines) {
    for (const std::string text : {"1 2 3 4 5 6 ", "1 2\n3\t4\r\n 5   6", "1 2 3 4 5 6\n"}) {
        const auto result = readText(text, 3, 2);
        EXPECT_FALSE(result.warning) << text;
        EXPECT_EQ(result.table.values, (std::vector<float>{1, 2, 3, 4, 5, 6})) << text;
        EXPECT_EQ(result.table.at(2, 1), 6.0f);
    }
}

TEST(PatternFileReader, IgnoresNumbersBeyondTheTable) {
    const auto result = readText("1 2 3 4 5", 2, 1);
    EXPECT_FALSE(result.warning);
    EXPECT_EQ(result.table.values, (std::vector<float>{1, 2}));
}

TEST(PatternFileReader, FewerNumbersWarnAndLeaveZeros) {
    const auto input = readText("1 2 3", 2, 3, PatternRole::Input);
    ASSERT_TRUE(input.warning);
    EXPECT_EQ(input.warning->kind, MessageKind::Warning);
    EXPECT_EQ(input.warning->text,
              "Некоторые эталонные образы пропущены, они будут приняты равными 0.0");
    EXPECT_EQ(input.table.values, (std::vector<float>{1, 2, 3, 0, 0, 0}));

    const auto target = readText("", 2, 2, PatternRole::Target);
    ASSERT_TRUE(target.warning);
    EXPECT_EQ(target.warning->text,
              "Некоторые эталонные образы пропущены. Они будут приняты равными 0.0");
    EXPECT_EQ(target.table.values, (std::vector<float>(4, 0.0f)));
}

TEST(PatternFileReader, AFieldThatIsNoNumberEndsTheFile) {
    const auto result = readText("1 abc 3 4", 4, 1);
    ASSERT_TRUE(result.warning);
    EXPECT_EQ(result.table.values, (std::vector<float>{1, 0, 0, 0}));
    // A number glued to text: the number is read, the text ends the reading.
    const auto glued = readText("1 2x 3", 3, 1);
    ASSERT_TRUE(glued.warning);
    EXPECT_EQ(glued.table.values, (std::vector<float>{1, 2, 0}));
}

TEST(PatternFileReader, RoundsToSinglePrecisionAndOverflowsToInfinity) {
    const auto result = readText("0.1 1e40 -1e40 1e-50 +2.5 .5 3.", 7, 1);
    EXPECT_FALSE(result.warning);
    EXPECT_EQ(result.table.at(0, 0), 0.1f);
    EXPECT_TRUE(std::isinf(result.table.at(1, 0)) && result.table.at(1, 0) > 0);
    EXPECT_TRUE(std::isinf(result.table.at(2, 0)) && result.table.at(2, 0) < 0);
    EXPECT_EQ(result.table.at(3, 0), 0.0f);
    EXPECT_EQ(result.table.at(4, 0), 2.5f);
    EXPECT_EQ(result.table.at(5, 0), 0.5f);
    EXPECT_EQ(result.table.at(6, 0), 3.0f);
}

TEST(PatternFileReader, SurvivesNulBytesAndTextEndingInsideANumber) {
    const std::string text("1 2\0 3", 6);
    const auto result = readText(text, 3, 1);
    ASSERT_TRUE(result.warning);
    EXPECT_EQ(result.table.values, (std::vector<float>{1, 2, 0}));
    EXPECT_EQ(readText("1e", 1, 1).table.at(0, 0), 1.0f);
    EXPECT_EQ(readText("-", 1, 1).table.at(0, 0), 0.0f);
}

TEST(PatternFileReader, AnOverlongFieldEndsTheReading) {
    const std::string longNumber = "1" + std::string(4095, '0'); // 4096 characters: a number
    EXPECT_TRUE(std::isinf(readText(longNumber, 1, 1).table.at(0, 0)));
    const auto result = readText("5 " + longNumber + "0 7", 3, 1);
    ASSERT_TRUE(result.warning);
    EXPECT_EQ(result.table.values, (std::vector<float>{5, 0, 0}));
}

TEST(PatternFileReader, ReadsWhatTheWriterWrote) {
    test::TempDir dir;
    const std::string path = (dir / "round.ptn").string();
    writePatternFile(path, {0.25, 1.0 / 3.0, 123456789.0, -7.0});
    const auto result = readPatternFile(path, 2, 2, PatternRole::Target);
    EXPECT_FALSE(result.warning);
    EXPECT_EQ(result.table.values, (std::vector<float>{0.25f, 0.333333f, 1.23457e+08f, -7.0f}));
}

TEST(PatternFileReader, RefusesAnEmptyNameAndAFileThatCannotBeOpened) {
    auto refusal = [](const std::string& path, PatternRole role) {
        try {
            readPatternFile(path, 1, 1, role);
        } catch (const AxoliteError& e) {
            EXPECT_EQ(e.kind(), MessageKind::Information);
            return e.text();
        }
        return std::string("no refusal");
    };
    EXPECT_EQ(refusal("", PatternRole::Input), "Файл входных эталонных образов не определен.");
    EXPECT_EQ(refusal("", PatternRole::Target), "Файл выходных эталонных образов не определен.");
    test::TempDir dir;
    const std::string missing = (dir / "нет.ptn").string();
    EXPECT_EQ(refusal(missing, PatternRole::Input),
              "Файл " + missing + " не существует или поврежден.");
    EXPECT_EQ(refusal(dir.path().string(), PatternRole::Input),
              "Файл " + dir.path().string() + " не существует или поврежден.");
    EXPECT_EQ(refusal("/dev/zero", PatternRole::Target),
              "Файл /dev/zero не существует или поврежден.");

    // A FIFO is refused at once instead of waiting for a writer. Should the reader wait, a writer
    // that comes and goes lets it see the end of the file, so the test fails instead of hanging.
    const std::string fifo = (dir / "fifo.ptn").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto read = std::async(std::launch::async, [&] { return refusal(fifo, PatternRole::Input); });
    if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_WRONLY));
    }
    EXPECT_EQ(read.get(), "Файл " + fifo + " не существует или поврежден.");
}

// A stream is read once, as far as the reader reads: the text kept reads as the stream would.
TEST(PatternStream, KeepsWhatTheReaderTakesAndNoMore) {
    const std::string longField(5000, '7');
    const std::string cases[] = {"1 2\n\n\t3   4 5 6", "1.5-2 3e1x 9", "1 " + longField + " 2", "",
                                 "   \n  "};
    for (const std::string& text : cases) {
        std::istringstream stream(text);
        const std::string kept = acceptedPatternText(stream, 4);
        EXPECT_EQ(readText(kept, 2, 2).table.values, readText(text, 2, 2).table.values) << text;
        EXPECT_EQ(readText(kept, 2, 2).warning.has_value(),
                  readText(text, 2, 2).warning.has_value());
    }
    // Blanks without end and a field without end cost nothing beyond the fields kept.
    std::istringstream blanks("1 2" + std::string(1 << 20, ' ') + "3");
    EXPECT_EQ(acceptedPatternText(blanks, 10), "1 2 3");
    std::istringstream endless("4 " + std::string(1 << 20, '5'));
    EXPECT_LT(acceptedPatternText(endless, 10).size(), 4200u);
    std::istringstream many("1 2 3 4 5 6 7 8");
    EXPECT_EQ(acceptedPatternText(many, 3), "1 2 3 ");
}
