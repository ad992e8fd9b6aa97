// The generated description: six-character model values, numbering, models shared by equal
// parameters, omitted zero weights, the limits of the language.
#include "core/training/network_description.h"

#include "core/common/message.h"
#include "core/platform/atomic_file.h"
#include "core/platform/text_encoding.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace axolite;
using namespace axolite::training;

namespace {

LayeredNetwork built(int inputs, std::vector<int> hidden, int outputs,
                     TransferCode output = TransferCode::Linear) {
    LayerConfiguration c;
    c.inputNeurons = inputs;
    c.hiddenLayers = static_cast<int>(hidden.size());
    for (std::size_t h = 0; h < hidden.size(); ++h) {
        c.hiddenNeurons[h] = hidden[h];
    }
    c.outputNeurons = outputs;
    c.outputTransfer = output;
    RandomSource random(17);
    return LayeredNetwork::build(c, random);
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

TEST(ShortModelValue, NeverLongerThanSixCharactersAndNearest) {
    EXPECT_EQ(shortModelValue(0.0), "0");
    EXPECT_EQ(shortModelValue(-3.0), "-3");
    EXPECT_EQ(shortModelValue(0.25), "0.25");
    EXPECT_EQ(shortModelValue(0.0123456), ".01235");
    EXPECT_EQ(shortModelValue(-0.0123456), "-.0123");
    EXPECT_EQ(shortModelValue(123456.7), "123457");
    EXPECT_EQ(shortModelValue(1234567.0), "1.23e6");
    EXPECT_EQ(shortModelValue(0.000123456), ".00012");
    for (double v : {3.14159265, -2.7182818, 1e-30, -1e30, 0.1, 99999.5, 7.77e-7}) {
        const std::string text = shortModelValue(v);
        EXPECT_LE(text.size(), 6u) << v << " " << text;
        EXPECT_NEAR(std::strtod(text.c_str(), nullptr), v, std::fabs(v) * 0.01) << text;
    }
}

TEST(DescriptionWriter, NumbersNeuronsInLayerOrderAndSharesEqualModels) {
    LayeredNetwork n = built(2, {3}, 1, TransferCode::Sigmoid);
    n.neuron(1, 0).bias = 0.5f;
    n.neuron(1, 1).bias = 0.5f;
    n.neuron(1, 2).bias = -0.25f;
    n.neuron(2, 0).bias = 0.5f;
    for (int i = 0; i < 3; ++i) {
        n.neuron(1, i).weights[0] = 0.125f;
        n.neuron(1, i).weights[1] = -0.5f;
        n.neuron(2, 0).weights[i] = 0.1f * static_cast<float>(i + 1);
    }
    n.neuron(2, 0).weights[1] = 0.0f;
    const GeneratedDescription d = generateDescription(n);
    const std::string& t = d.netText;
    EXPECT_NE(t.find("neurons 6;\r\nsimtime 0, 3;\r\ntimestep 1;\r\n"), std::string::npos) << t;
    EXPECT_NE(t.find("inputlayer {\r\nneuron 1;\r\nneuron 2;\r\n}"), std::string::npos);
    EXPECT_NE(t.find("outputlayer {\r\nneuron 6, weight 1;\r\n}"), std::string::npos);
    // Both inputs share model 1; the hidden neurons with bias 0.5 share 401; the output, of the
    // same kind and bias, shares it too.
    EXPECT_NE(t.find("neuron 1, 1;\r\nneuron 2, 1;\r\nneuron 3, 401;\r\nneuron 4, 401;\r\n"
                     "neuron 5, 402;\r\nneuron 6, 401;"),
              std::string::npos);
    ASSERT_EQ(d.models.size(), 3u);
    EXPECT_EQ(d.models[0].text, "[Линейная]\r\nID=1\r\nY1=1e+30\r\nX1=1\r\nXt=-3\r\n");
    EXPECT_EQ(d.models[1].fileName, "401.neu");
    EXPECT_EQ(d.models[1].text, "[Сигмовидная]\r\nID=401\r\nY1=1\r\nX1=-1e+30\r\nXt=0.5\r\n");
    EXPECT_EQ(d.models[2].text, "[Сигмовидная]\r\nID=402\r\nY1=1\r\nX1=-1e+30\r\nXt=-0.25\r\n");
    // The zero weight from neuron 4 to neuron 6 is left out; the others stand, exactly.
    EXPECT_EQ(t.find("neuron 4, neuron 6,"), std::string::npos);
    EXPECT_EQ(count(t, ", weight ") - 1, 2u * 3u + 2u);
    EXPECT_NE(t.find("neuron 3, neuron 6, weight 0.100000001;"), std::string::npos);
    EXPECT_NE(t.find("neuron 2, neuron 5, weight -0.5;"), std::string::npos);
    EXPECT_NE(t.find("suspend {\r\nneuron 1, -1;"), std::string::npos);
    EXPECT_EQ(t.substr(t.size() - 8), "}\r\nend\r\n");
    std::istringstream lines(t);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 126u) << line;
    }
}

TEST(DescriptionWriter, StepNeuronsCarryTheirBiasAsThreshold) {
    LayeredNetwork n = built(1, {}, 1, TransferCode::Step);
    n.neuron(1, 0).bias = 0.75f;
    const GeneratedDescription d = generateDescription(n);
    ASSERT_EQ(d.models.size(), 2u);
    EXPECT_EQ(d.models[1].text, "[Ступенчатая]\r\nID=201\r\nY1=1\r\nX1=-0.75\r\n");
}

TEST(DescriptionWriter, ListsAtMostFourOutputsAndAlwaysOneConnection) {
    LayeredNetwork n = built(1, {}, 6);
    for (int i = 0; i < 6; ++i) {
        n.neuron(1, i).weights[0] = 0.0f;
    }
    const std::string t = generateDescription(n).netText;
    EXPECT_NE(t.find("outputlayer {\r\nneuron 2, weight 1;\r\nneuron 3, weight 1;\r\n"
                     "neuron 4, weight 1;\r\nneuron 5, weight 1;\r\n}"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("// Выход: первые 4 из 6 нейронов"), std::string::npos);
    EXPECT_NE(t.find("networklayout {\r\nneuron 1, neuron 2, weight 1e-300;\r\n}"),
              std::string::npos);
}

TEST(DescriptionWriter, RefusesWhatTheLanguageCannotHold) {
    // 18 + 10 × 18 + 18 = 216 neurons.
    const LayeredNetwork big = built(18, std::vector<int>(10, 18), 18);
    try {
        generateDescription(big);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_NE(e.text().find("216"), std::string::npos);
    }
    EXPECT_NO_THROW(generateDescription(built(18, std::vector<int>(9, 17), 18))); // 189
    LayeredNetwork diverged = built(1, {}, 1);
    diverged.neuron(1, 0).weights[0] = NAN;
    EXPECT_THROW(generateDescription(diverged), AxoliteError);
    // Before any training run there is no network to write.
    EXPECT_THROW(generateDescription(LayeredNetwork{}), AxoliteError);
}

TEST(DescriptionWriter, WritesTheModelsBesideInCodePage1251) {
    test::TempDir dir;
    writeDescription(built(1, {}, 1, TransferCode::Gaussian), dir / "g.net");
    EXPECT_TRUE(std::filesystem::exists(dir / "g.net"));
    const std::string model = test::readFile(dir / "601.neu");
    EXPECT_EQ(model.substr(0, 12), "[\xc3\xe0\xf3\xf1\xf1\xee\xe2\xe0]\r\n"); // [Гауссова]
    EXPECT_THROW(writeDescription(built(1, {}, 1), dir / "missing" / "x.net"), AxoliteError);
}

TEST(DescriptionWriter, NeverOverwritesAModelFileOfAnotherDescription) {
    test::TempDir dir;
    const std::string foreign = "[Линейная]\r\nID=1\r\nY1=1\r\nX1=-10\r\nXt=0.05\r\n";
    test::writeFile(dir / "1.neu", foreign);
    const LayeredNetwork n = built(1, {}, 1, TransferCode::Sigmoid);
    // The same model as this description's first sigmoid one: it is used again as it stands.
    const std::string sigmoid = generateDescription(n).models[1].text;
    test::writeFile(dir / "401.neu", platform::utf8ToCp1251(sigmoid));
    const auto past = std::filesystem::last_write_time(dir / "401.neu") - std::chrono::hours(24);
    std::filesystem::last_write_time(dir / "401.neu", past);
    std::filesystem::create_directory(dir / "2.neu");

    writeDescription(n, dir / "n.net");
    EXPECT_EQ(test::readFile(dir / "1.neu"), foreign);
    const std::string text = test::readFile(dir / "n.net");
    EXPECT_NE(text.find("model {\r\nneuron 1, 3;\r\nneuron 2, 401;\r\n}"), std::string::npos)
        << text;
    EXPECT_EQ(test::readFile(dir / "3.neu"),
              platform::utf8ToCp1251("[Линейная]\r\nID=3\r\nY1=1e+30\r\nX1=1\r\nXt=-3\r\n"));
    EXPECT_EQ(test::readFile(dir / "401.neu"), platform::utf8ToCp1251(sigmoid));
    EXPECT_EQ(std::filesystem::last_write_time(dir / "401.neu"), past); // not even rewritten

    // With every code of a kind taken nothing can be written.
    try {
        generateDescription(n, [](int code, const std::string&) { return code > 200; });
        FAIL() << "no refusal";
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_NE(e.text().find("Линейная"), std::string::npos) << e.text();
    }
}

TEST(DescriptionWriter, RefusesTheNameOfAModelFile) {
    test::TempDir dir;
    test::writeFile(dir / "1.neu", "foreign");
    const LayeredNetwork n = built(1, {}, 1);
    for (const char* name : {"1.neu", "0.neu", "2.neu", "800.neu"}) {
        EXPECT_THROW(writeDescription(n, dir / name), AxoliteError) << name;
    }
    std::filesystem::create_symlink(dir / "1.neu", dir / "link.net");
    EXPECT_THROW(writeDescription(n, dir / "link.net"), AxoliteError);
    EXPECT_EQ(test::readFile(dir / "1.neu"), "foreign");
    EXPECT_FALSE(std::filesystem::exists(dir / "2.neu"));
    // Names the simulation never reads as a model are descriptions like any other.
    writeDescription(n, dir / "801.neu");
    writeDescription(n, dir / "02.neu");
    EXPECT_EQ(test::readFile(dir / "1.neu"), "foreign");
}

TEST(DescriptionWriter, NeverFollowsALinkNamedLikeAModel) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "out");
    std::filesystem::create_symlink(dir / "outside.neu", dir / "out" / "1.neu");
    writeDescription(built(1, {}, 1), dir / "out" / "n.net");
    EXPECT_FALSE(std::filesystem::exists(dir / "outside.neu"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "out" / "1.neu"));
    EXPECT_NE(test::readFile(dir / "out" / "n.net").find("neuron 1, 2;"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "2.neu"));
}

TEST(DescriptionWriter, AFullDiskWritesNoneOfTheSet) {
    test::TempDir dir;
    test::writeFile(dir / "n.net", "old description");
    const LayeredNetwork n = built(18, {18, 18, 18}, 18);
    try {
        test::FileSizeLimit limit(4096); // the description is larger, each model smaller
        writeDescription(n, dir / "n.net");
        FAIL() << "no refusal";
    } catch (const platform::FileWriteError& e) {
        EXPECT_EQ(e.step(), platform::FileWriteStep::Write);
        EXPECT_EQ(e.text(), "Ошибка при записи файла " + (dir / "n.net").string());
    }
    EXPECT_EQ(test::readFile(dir / "n.net"), "old description");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator{}),
              1);
}
