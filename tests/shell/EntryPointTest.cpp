#include "app/shell/EntryPoint.h"
#include "app/shell/StdApplication.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

class CPassApplication : public Engine::CStdApplication {
public:
    CPassApplication(std::vector<std::string>& passes, bool again) : m_passes(passes), m_again(again) {}
    int Execute() override {
        m_passes.push_back(GetCommandLine().str() + " in " + fs::current_path().filename().string());
        if (m_again) RequestAnotherPass();
        return int(m_passes.size());
    }

private:
    std::vector<std::string>& m_passes;
    bool m_again;
};

class EntryPointTest : public ShellTest {};

TEST_F(EntryPointTest, PassesRunUntilOneDoesNotAskAgain) {
    // The start-up folder is entered before the first pass only.
    fs::create_directories(root / "startup");
    fs::create_directories(root / "elsewhere");
    WriteFile(SettingsFolder() / "StartupPath", (root / "startup").string());
    std::vector<std::string> passes;
    int made = 0;
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        if (++made == 2) fs::current_path(root / "elsewhere");
        return std::make_unique<CPassApplication>(passes, made < 3);
    });
    EXPECT_EQ(exitCode, 3);
    EXPECT_EQ(passes, (std::vector<std::string>{"/s in startup", "/s in elsewhere", "/s in elsewhere"}));
}

} // namespace
