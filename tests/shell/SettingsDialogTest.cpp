#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/Config.h"
#include "app/shell/SettingsDialog.h"

using Engine::CConfig;
using Engine::CSettingsDialogModel;

namespace {

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("mosark-settings-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        path = (folder / "screensaver.cfg").string();
        std::filesystem::remove(path);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    CConfig Stored() const {
        CConfig config;
        config.Load(path.c_str());
        return config;
    }

    // Answers the dialog's questions in turn and records what was asked.
    Engine::ButtonPrompt Answer(std::vector<int> answers) {
        return [this, answers, next = size_t(0)](const char*, const char* question,
                                                 std::span<const char* const> buttons, int defaultButton) mutable {
            asked.push_back(question);
            shown.emplace_back(buttons.begin(), buttons.end());
            defaults.push_back(defaultButton);
            return next < answers.size() ? answers[next++] : -1;
        };
    }

    std::filesystem::path folder;
    std::string path;
    std::vector<std::string> asked;
    std::vector<std::vector<std::string>> shown;
    std::vector<int> defaults;
};

TEST_F(SettingsDialogTest, ModelWritesBothSettingsAndKeepsTheVolumes) {
    CConfig before;
    before.soundVolumes[0] = 0.25f;
    ASSERT_TRUE(before.Save(path.c_str()));
    CSettingsDialogModel model(path.c_str());
    EXPECT_TRUE(model.GetPlayAmbientSounds());
    EXPECT_EQ(model.GetChangeTimeChoice(), 1);  // the default minute
    model.SetPlayAmbientSounds(false);
    EXPECT_TRUE(model.SetChangeTimeChoice(3));
    EXPECT_FALSE(model.SetChangeTimeChoice(4));
    EXPECT_FALSE(model.SetChangeTimeChoice(-1));
    ASSERT_TRUE(model.Ok());
    const CConfig after = Stored();
    EXPECT_FALSE(after.playAmbientSounds);
    EXPECT_EQ(after.backgroundChangeSeconds, 300u);
    EXPECT_EQ(after.soundVolumes[0], 0.25f);
}

TEST_F(SettingsDialogTest, AsksAmbientSoundsThenChangeTimeAndStoresTheAnswers) {
    CSettingsDialogModel model(path.c_str());
    EXPECT_TRUE(RunSettingsDialog(model, "Mosark", Answer({1, 0})));
    EXPECT_EQ(asked, (std::vector<std::string>{"Play Ambient Sounds", "Background change time:"}));
    EXPECT_EQ(shown[0], (std::vector<std::string>{"On", "Off", "Cancel"}));
    EXPECT_EQ(shown[1], (std::vector<std::string>{"30 seconds", "1 minute", "3 minutes", "5 minutes", "Cancel"}));
    EXPECT_EQ(defaults, (std::vector<int>{0, 1}));  // the current settings
    EXPECT_FALSE(Stored().playAmbientSounds);
    EXPECT_EQ(Stored().backgroundChangeSeconds, 30u);
}

TEST_F(SettingsDialogTest, CancelOrClosingAtEitherQuestionStoresNothing) {
    for (const std::vector<int>& answers : {std::vector<int>{2}, std::vector<int>{-1}, std::vector<int>{0, 4},
                                            std::vector<int>{1, -1}}) {
        CSettingsDialogModel model(path.c_str());
        EXPECT_FALSE(RunSettingsDialog(model, "Mosark", Answer(answers)));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
