// Neuron models: the transfer functions, the code ranges and the reading and writing of model
// files.
#include "core/simulation/neuron_model.h"

#include "core/platform/profile_file.h"
#include "core/platform/text_encoding.h"
#include "simulation_fixture.h"
#include "test_support.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <vector>

using namespace axolite;
using namespace axolite::simulation;
using axolite::test::TempDir;
using axolite::test::writeFile;
using axolite::test::writeModelFile;

TEST(TransferFunction, LinearLimitsItsInputNotItsResult) {
    const ModelParameters p{0, 1.0, -10.0, 0.5};
    EXPECT_DOUBLE_EQ(linearTransfer(p, 0.2), 0.7);
    EXPECT_EQ(linearTransfer(p, 2.0), 1.0);
    EXPECT_EQ(linearTransfer(p, -3.0), -1.0);
    EXPECT_EQ(linearTransfer(p, -11.0), 0.0);
    // Just below the limit x + Xt lies beyond Y1 and is returned as it is.
    EXPECT_DOUBLE_EQ(linearTransfer(p, 0.9), 1.4);
    EXPECT_EQ(linearTransfer(p, 1.0), 1.0);
}

TEST(TransferFunction, LinearOverManyNeuronsIsTheScalarFunctionBitForBit) {
    // Parameters and inputs from a small set that meets every branch, its limits, signed zeros,
    // infinities and NaN; an odd count leaves one neuron to the scalar tail.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> pool = {0.0,  -0.0,   1.0, -1.0, 2.5, -2.5,
                                      0.25, 1e-310, inf, -inf, nan};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (const std::size_t count :
         {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{4001}}) {
        std::vector<ModelParameters> p(count);
        std::vector<double> x(count);
        for (std::size_t j = 0; j < count; ++j) {
            p[j] = {0, pool[pick(random)], pool[pick(random)], pool[pick(random)]};
            x[j] = pool[pick(random)];
        }
        std::vector<double> out(count);
        linearTransferAll(p.data(), x.data(), out.data(), count);
        for (std::size_t j = 0; j < count; ++j) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(out[j]),
                      std::bit_cast<std::uint64_t>(linearTransfer(p[j], x[j])))
                << "Y1 " << p[j].y1 << " X1 " << p[j].x1 << " Xt " << p[j].xt << " x " << x[j];
        }
    }
}

TEST(TransferFunction, StepAndThreshold) {
    const ModelParameters p{0, 2.0, 0.0, 0.0};
    EXPECT_EQ(stepTransfer(p, 0.0), 2.0);
    EXPECT_EQ(stepTransfer(p, -0.001), 0.0);
}

TEST(TransferFunction, SigmoidAndGaussianGrowingExponent) {
    const ModelParameters p{0, 1.0, -100.0, 0.0};
    EXPECT_EQ(sigmoidTransfer(p, 0.0), 0.5);
    EXPECT_EQ(gaussianTransfer(p, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(gaussianTransfer(p, 1.0), std::exp(1.0));
    EXPECT_EQ(sigmoidTransfer(p, -101.0), 0.0);
    EXPECT_EQ(gaussianTransfer(p, -101.0), 0.0);
}

TEST(TransferFunction, TheShiftEntersWithItsSignAndTheLimitsAreInclusive) {
    // Sigmoid: Y1 / (1 + e^(−x − Xt)); at x = −Xt the exponent is 0.
    const ModelParameters sigmoid{0, 4.0, -100.0, 1.5};
    EXPECT_EQ(sigmoidTransfer(sigmoid, -1.5), 2.0);
    EXPECT_DOUBLE_EQ(sigmoidTransfer(sigmoid, -0.5), 4.0 / (1.0 + std::exp(-1.0)));
    // Gaussian: Y1 · e^((x + Xt)²), at its least where x = −Xt and growing on both sides.
    const ModelParameters gaussian{0, 0.5, -100.0, -0.5};
    EXPECT_EQ(gaussianTransfer(gaussian, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(gaussianTransfer(gaussian, 1.5), 0.5 * std::exp(1.0));
    EXPECT_DOUBLE_EQ(gaussianTransfer(gaussian, -0.5), 0.5 * std::exp(1.0));
    // The threshold itself is not below the threshold; ±Y1 themselves are limits.
    const ModelParameters linear{0, 2.0, -2.0, 0.25};
    EXPECT_EQ(linearTransfer(linear, -2.0), -2.0);
    EXPECT_EQ(linearTransfer(linear, 2.0), 2.0);
    EXPECT_EQ(linearTransfer(linear, -1.5), -1.25);
    EXPECT_EQ(gaussianTransfer({0, 1.0, 0.0, 0.0}, 0.0), 1.0);
    EXPECT_EQ(sigmoidTransfer({0, 1.0, 0.0, 0.0}, 0.0), 0.5);
}

TEST(ModelCode, RangesChooseKindsAndSections) {
    EXPECT_EQ(modelKindOfCode(0), ModelKind::Linear);
    EXPECT_EQ(modelKindOfCode(200), ModelKind::Linear);
    EXPECT_EQ(modelKindOfCode(201), ModelKind::Step);
    EXPECT_EQ(modelKindOfCode(400), ModelKind::Step);
    EXPECT_EQ(modelKindOfCode(401), ModelKind::Sigmoid);
    EXPECT_EQ(modelKindOfCode(601), ModelKind::Gaussian);
    EXPECT_EQ(modelKindOfCode(800), ModelKind::Gaussian);
    EXPECT_FALSE(modelKindOfCode(801));
    EXPECT_FALSE(modelKindOfCode(-1));
    EXPECT_EQ(evaluationKindOfCode(5000), ModelKind::Gaussian);
    EXPECT_STREQ(modelSectionName(ModelKind::Step), "Ступенчатая");
    EXPECT_EQ(modelFilePath("m", 9), std::filesystem::path("m") / "9.neu");
    EXPECT_EQ(modelFilePath("m", 250).filename(), "250.neu");
}

// The shipped model files, one of every kind, are read through the table: each code's kind
// names the section its file holds, and the file's own ID is the code.
TEST(ModelCode, TheExampleModelFilesAreFoundInTheirKindsSections) {
    std::map<ModelKind, int> kinds;
    for (const auto& entry : std::filesystem::directory_iterator(AXOLITE_EXAMPLES_DIR "/models")) {
        if (entry.path().extension() != ".neu") {
            continue;
        }
        const std::int64_t code = std::stoll(entry.path().stem().string());
        const std::optional<ModelKind> kind = modelKindOfCode(code);
        ASSERT_TRUE(kind) << entry.path();
        const std::optional<ModelParameters> model = loadModel(entry.path(), code);
        ASSERT_TRUE(model) << entry.path() << " has no section " << modelSectionName(*kind);
        EXPECT_EQ(model->id, static_cast<double>(code)) << entry.path();
        ++kinds[*kind];
    }
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(kModelKindCount));
}

TEST(ModelValue, SixCharactersThenTheNumberTheyBeginWith) {
    EXPECT_EQ(modelValueFromText("0.0001234"), 0.0001);
    EXPECT_EQ(modelValueFromText("-10"), -10.0);
    EXPECT_EQ(modelValueFromText("+2.5"), 2.5);
    EXPECT_EQ(modelValueFromText(".5"), 0.5);
    EXPECT_EQ(modelValueFromText("1.5e+10"), 15.0); // cut to "1.5e+1"
    EXPECT_EQ(modelValueFromText("1.5e+"), 1.5);
    EXPECT_EQ(modelValueFromText("2abc"), 2.0);
    EXPECT_EQ(modelValueFromText("1e-999"), 0.0);
    EXPECT_FALSE(modelValueFromText(""));
    EXPECT_FALSE(modelValueFromText("abc"));
    EXPECT_FALSE(modelValueFromText("inf"));
    EXPECT_FALSE(modelValueFromText("nan"));
    EXPECT_FALSE(modelValueFromText("-"));
    EXPECT_FALSE(modelValueFromText("."));
    EXPECT_FALSE(modelValueFromText("1e9999"));
}

TEST(ModelFile, LoadsTheSectionOfTheCodesKind) {
    TempDir dir;
    // A file holding several kinds: only the section of the code's kind is used.
    writeFile(dir / "250.neu",
              platform::utf8ToCp1251("[Линейная]\r\nID=250\r\nY1=5\r\nX1=1\r\nXt=1\r\n"
                                     "[ступенчатая]\r\nid = 250\r\ny1 = 0.8 \r\nx1=0.0001234\r\n"));
    const auto model = loadModel(dir / "250.neu", 250);
    ASSERT_TRUE(model);
    EXPECT_EQ(*model, (ModelParameters{250, 0.8, 0.0001, 0.0}));
    // The same file read for a linear code: the linear section.
    const auto linear = loadModel(dir / "250.neu", 9);
    ASSERT_TRUE(linear);
    EXPECT_EQ(*linear, (ModelParameters{250, 5, 1, 1}));
}

TEST(ModelFile, MissingEmptyTruncatedOrBinaryFilesFail) {
    TempDir dir;
    EXPECT_FALSE(loadModel(dir / "0.neu", 0));
    writeFile(dir / "empty.neu", "");
    EXPECT_FALSE(loadModel(dir / "empty.neu", 0));
    writeModelFile(dir / "noxt.neu", "Линейная", {{"ID", "1"}, {"Y1", "1"}, {"X1", "1"}});
    EXPECT_FALSE(loadModel(dir / "noxt.neu", 1));
    // The step kind has no Xt: the same keys are enough.
    writeModelFile(dir / "step.neu", "Ступенчатая", {{"ID", "201"}, {"Y1", "1"}, {"X1", "1"}});
    EXPECT_TRUE(loadModel(dir / "step.neu", 201));
    writeModelFile(dir / "blank.neu", "Линейная",
                   {{"ID", "1"}, {"Y1", ""}, {"X1", "1"}, {"Xt", "0"}});
    EXPECT_FALSE(loadModel(dir / "blank.neu", 1));
    writeModelFile(dir / "word.neu", "Линейная",
                   {{"ID", "1"}, {"Y1", "abc"}, {"X1", "1"}, {"Xt", "0"}});
    EXPECT_FALSE(loadModel(dir / "word.neu", 1));
    writeFile(dir / "cut.neu", platform::utf8ToCp1251("[Линейная]\r\nID=1\r\nY1=1\r\nX"));
    EXPECT_FALSE(loadModel(dir / "cut.neu", 1));
    writeFile(dir / "binary.neu", std::string("\0\xff\x98[\x01\x02=\n\r", 10));
    EXPECT_FALSE(loadModel(dir / "binary.neu", 1));
    std::filesystem::create_directory(dir / "folder.neu");
    EXPECT_FALSE(loadModel(dir / "folder.neu", 1));
}

TEST(ModelFile, ARunReadsTheFileOfEachCodeOnceWithTheSameValues) {
    TempDir dir;
    writeModelFile(dir / "9.neu", "Линейная",
                   {{"ID", "9"}, {"Y1", "5"}, {"X1", "-5"}, {"Xt", "0.0001234"}});
    writeModelFile(dir / "250.neu", "Ступенчатая", {{"ID", "250"}, {"Y1", "3"}, {"X1", "0"}});
    std::map<std::int64_t, int> reads;
    ModelFiles files(dir.path(), [&reads](const std::filesystem::path& path, std::int64_t code) {
        ++reads[code];
        return loadModel(path, code);
    });
    const std::int64_t codes[] = {9, 250, 42, 9, 9, 250, 42, 801};
    for (int neuron = 0; neuron < 196; ++neuron) {
        const std::int64_t code = codes[neuron % 8];
        EXPECT_EQ(files.model(code), loadModel(modelFilePath(dir.path(), code), code)) << neuron;
    }
    // A missing file (42) and a code outside the ranges (801) are not tried again either.
    EXPECT_EQ(reads, (std::map<std::int64_t, int>{{9, 1}, {42, 1}, {250, 1}, {801, 1}}));
}

TEST(ModelFile, CodesOutsideTheRangesFail) {
    TempDir dir;
    writeModelFile(dir / "801.neu", "Гауссова",
                   {{"ID", "801"}, {"Y1", "1"}, {"X1", "1"}, {"Xt", "0"}});
    EXPECT_FALSE(loadModel(dir / "801.neu", 801));
    EXPECT_FALSE(loadModel(dir / "801.neu", -1));
    EXPECT_TRUE(loadModel(dir / "801.neu", 800));
}

TEST(ModelFile, FailureMessageLowerCasesThePath) {
    const Message m = modelFileFailure("/Models/Ядро/0.NEU");
    EXPECT_EQ(m.kind, MessageKind::Error);
    EXPECT_EQ(m.text, "Файл /models/ядро/0.neu не существует или поврежден.");
}

TEST(ModelFile, WriterKeepsOtherSectionsAndLeavesXtOutOfTheStepKind) {
    TempDir dir;
    const auto path = dir / "300.neu";
    writeFile(path, platform::utf8ToCp1251("; заметка\r\n[Линейная]\r\nID=300\r\nY1=1\r\n"));
    ASSERT_TRUE(writeModel(path, ModelKind::Step, {"300", "2", "0.5", "7"}));
    const std::string bytes = axolite::test::readFile(path);
    EXPECT_FALSE(platform::isValidUtf8(bytes)); // still code page 1251 on disk
    const auto profile = platform::ProfileFile::load(path);
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->get("Линейная", "Y1"), "1");
    EXPECT_EQ(profile->get("Ступенчатая", "X1"), "0.5");
    EXPECT_FALSE(profile->get("Ступенчатая", "Xt"));
    EXPECT_EQ(platform::cp1251ToUtf8(bytes).rfind("; заметка\r\n", 0), 0u);

    const auto texts = readModelTexts(path, ModelKind::Step);
    ASSERT_TRUE(texts);
    EXPECT_EQ((*texts)[1], "2");
    EXPECT_FALSE((*texts)[3]);
    EXPECT_EQ(loadModel(path, 300), (ModelParameters{300, 2, 0.5, 0}));
}

TEST(ModelFile, WriterRefusesWhatItCannotWrite) {
    TempDir dir;
    std::filesystem::create_directory(dir / "taken.neu");
    EXPECT_FALSE(writeModel(dir / "taken.neu", ModelKind::Linear, {"1", "1", "1", "1"}));
    EXPECT_FALSE(
        writeModel(dir / "no" / "such" / "1.neu", ModelKind::Linear, {"1", "1", "1", "1"}));
    EXPECT_EQ(modelWriteFailure("/a/B.neu").text, "Ошибка при записи файла /a/B.neu");
}
