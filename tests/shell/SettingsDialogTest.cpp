#include "app/shell/SettingsDialog.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;
using Engine::CSettingsDialogModel;

namespace {

class SettingsDialogTest : public ShellTest {};

TEST_F(SettingsDialogTest, CancelOrClosingAtEitherQuestionStoresNothing) {
    // Cancel is the last button of each question; -1 is a closed box.
    const std::string path = (root / "screensaver.cfg").string();
    for (const std::vector<int>& answers : {std::vector<int>{2}, {-1}, {0, 4}, {1, -1}}) {
        CSettingsDialogModel model(path);
        size_t next = 0;
        EXPECT_FALSE(RunSettingsDialog(model, "Mosark", [&](auto...) { return answers.at(next++); }));
        EXPECT_FALSE(fs::exists(path));
    }
}

} // namespace
