// Where a run looks its model files up: the models folder once set, otherwise the current folder,
// then the description's folder and the "models" folder beside it; which folders were used.
#include "core/simulation/simulation.h"

#include "simulation_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace axolite;
using namespace axolite::simulation;
using axolite::test::lexAndAccept;
using axolite::test::TempDir;
using axolite::test::writeDefaultModel;
using axolite::test::writeModelFile;

namespace {

// Neuron 2 has model 250 (step, Y1 = 3), neuron 1 the default model.
const char* const kTwoModels = R"(neurons 2; simtime 0, 1; timestep 0.5;
initstate { neuron 1, 1; } model { neuron 2, 250; }
outputlayer { neuron 2, weight 1; } networklayout { neuron 1, neuron 2, weight 1; } end)";

void writeStepModel(const std::filesystem::path& folder, const std::string& y1 = "3") {
    writeModelFile(folder / "250.neu", "Ступенчатая", {{"ID", "250"}, {"Y1", y1}, {"X1", "0"}});
}

// Runs in a fresh current folder, restored afterwards.
class ModelLookup : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(current.path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    Simulation::Result run(const platform::FolderSettings& folders,
                           const std::filesystem::path& descriptionFolder) {
        check_ = lexAndAccept(record, kTwoModels);
        simulation_.prepare(record, check_);
        SilentProgress silent;
        return simulation_.run(record, check_, silent, folders, descriptionFolder);
    }

    TempDir current;
    TempDir description;
    language::NetworkRecord record;

private:
    std::filesystem::path previous_;
    language::CheckResult check_;
    Simulation simulation_;
};

} // namespace

TEST_F(ModelLookup, WithoutFoldersSetModelsBesideTheDescriptionAndInItsModelsFolderAreUsed) {
    writeDefaultModel(description.path());
    writeStepModel(description / "models");
    const auto result = run({}, description.path());
    ASSERT_EQ(result.outcome, Simulation::Outcome::Completed) << result.message->text;
    EXPECT_EQ(record.outputSeries[0][1], 3.0);
    EXPECT_EQ(result.modelFolders,
              (std::vector<std::filesystem::path>{description.path(), description / "models"}));
}

TEST_F(ModelLookup, TheCurrentFolderComesFirstAndTheDescriptionsFolderBeforeItsModelsFolder) {
    writeDefaultModel(current.path());
    writeStepModel(current.path(), "7");
    writeStepModel(description.path(), "5");
    writeStepModel(description / "models", "3");
    auto result = run({}, description.path());
    ASSERT_EQ(result.outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(record.outputSeries[0][1], 7.0);
    EXPECT_EQ(result.modelFolders, std::vector<std::filesystem::path>{current.path()});

    std::filesystem::remove(current / "250.neu");
    result = run({}, description.path());
    EXPECT_EQ(record.outputSeries[0][1], 5.0);
    EXPECT_EQ(result.modelFolders,
              (std::vector<std::filesystem::path>{current.path(), description.path()}));
}

TEST_F(ModelLookup, ASetModelsFolderIsTheOnlyPlaceLookedIn) {
    TempDir models;
    writeDefaultModel(models.path());
    writeStepModel(description.path());
    platform::FolderSettings folders;
    folders.models = models.path().string();
    folders.set = true;
    const auto result = run(folders, description.path());
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, modelFileFailure(models / "250.neu").text);
    EXPECT_TRUE(result.modelFolders.empty());

    // Folders set with the models field left empty: no models folder was named.
    folders.models.clear();
    writeDefaultModel(description.path());
    EXPECT_EQ(run(folders, description.path()).outcome, Simulation::Outcome::Completed);
}

TEST_F(ModelLookup, AFileFoundNowhereIsNamedInTheCurrentFolderAndADamagedOneByItsOwnPath) {
    writeDefaultModel(description.path());
    auto result = run({}, description.path());
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, modelFileFailure(current / "250.neu").text);

    // A damaged file beside the description is not passed over for a sound one further on.
    writeModelFile(description / "250.neu", "Ступенчатая", {{"ID", "250"}, {"Y1", ""}});
    writeStepModel(description / "models");
    result = run({}, description.path());
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, modelFileFailure(description / "250.neu").text);

    // A description without a file: the current folder alone.
    EXPECT_EQ(modelSearchFolders({}, {}), std::vector<std::filesystem::path>{current.path()});
}

TEST_F(ModelLookup, TheSameFolderUnderAnotherNameIsSearchedOnce) {
    const auto search = modelSearchFolders({}, std::filesystem::path("."));
    EXPECT_EQ(search, (std::vector<std::filesystem::path>{current.path(), "./models"}));
}
