#pragma once
// What the application tests share: a private set of folders per test, the
// log and message boxes captured, the test clock, and a recording driver that
// runs a hook at every present.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/File.h"
#include "app/Log.h"
#include "app/Pack.h"
#include "shell/DriverTable.h"
#include "platform/Messages.h"
#include "platform/Testing.h"
#include "support/RecordingGraphics.h"
#include "tools/PakWriter.h"

namespace ShellTesting {

namespace fs = std::filesystem;
using Engine::Graphics::CGraphics;
using Engine::Graphics::CGraphicsParams;

// A recording driver that presents frames: each gFlipBuffers runs the hook.
// It has no window; Create activates the application as showing one would.
class CFrameDriver : public Engine::Graphics::Testing::CRecordingGraphics {
public:
    explicit CFrameDriver(Engine::CApplication** application) : CRecordingGraphics(application) {}
    ~CFrameDriver() override;

    std::function<void(CFrameDriver&)> onPresent;
    // Receives the names of the recorded calls when the driver is deleted.
    std::vector<std::string>* callsOut = nullptr;
    bool failCreate = false;
    int frames = 0;

    bool Create(const char* title, CGraphicsParams* params) override;
    void gFlipBuffers() override;
};

// The default table with "OpenGL" made by the given factory; the other
// drivers make nothing, so that a run never falls back to a real one.
Engine::CGraphicsDriverTable DriversWithOpenGL(
    std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> openGL);


class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the texts occur in the log in this order.
    ::testing::AssertionResult LogHasInOrder(const std::vector<std::string>& texts) const;
    bool LogHas(const std::string& text) const { return log.find(text) != std::string::npos; }
    void WriteFile(const fs::path& path, const std::string& text) const;
    // The demo pack under root/data, reached through "StartupPath", and
    // settings that run windowed on the named driver; the run starts in root.
    // Without scenes the pack is quicker to make.
    void UseDemoData(const std::string& driver, bool withScenes = true);
    // The same with a pack of the test's own.
    void UseDemoPack(const std::string& driver, const Tools::CPakWriter& pack);
    // The run's log file into `log`.
    void ReadLogFile();
    // Drivers whose "OpenGL" is a windowless CFrameDriver that quits after
    // `frames` presents, the test clock moving by `stepUs` at each; its calls
    // land in driverCalls, and onPresent runs at each present.
    Engine::CGraphicsDriverTable FrameDrivers(int frames, int64_t stepUs);
    fs::path SettingsFolder() const { return root / "config" / "Talvorn" / "Mosark"; }
    fs::path LogFolder() const { return root / "state" / "Talvorn" / "Mosark"; }

    struct CBox {
        std::string text, caption;
    };
    fs::path root;
    fs::path previousDirectory;
    std::string log;
    std::vector<CBox> boxes;
    std::vector<std::string> driverCalls;
    std::function<void(CFrameDriver&)> onPresent;
};

// A shell test that runs the screensaver program: its start-up done once,
// and place files read through the program's manager.
class ScreensaverShellTest : public ShellTest {
protected:
    void SetUp() override;
};

} // namespace ShellTesting
