#pragma once
// What the application tests share: a private set of folders per test, the
// log and message boxes captured, the test clock, and a recording driver that
// can open a real (offscreen) window and runs a hook at every present.

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
#include "app/shell/DriverTable.h"
#include "platform/Messages.h"
#include "platform/Testing.h"
#include "platform/Window.h"
#include "support/RecordingGraphics.h"

namespace ShellTesting {

namespace fs = std::filesystem;
using Engine::Graphics::CGraphics;
using Engine::Graphics::CGraphicsParams;

// A recording driver that presents frames: each gFlipBuffers runs the hook.
// With a window, its procedure is the driver base's, so posted messages reach
// the application as they would on a real driver.
class CFrameDriver : public Engine::Graphics::Testing::CRecordingGraphics {
public:
    explicit CFrameDriver(Engine::CApplication** application, bool withWindow)
        : CRecordingGraphics(application), m_bWithWindow(withWindow) {}
    ~CFrameDriver() override;

    std::function<void(CFrameDriver&)> onPresent;
    // Receives the names of the recorded calls when the driver is deleted.
    std::vector<std::string>* callsOut = nullptr;
    bool failCreate = false;
    bool activate = true;  // without a window: activate the application in Create
    int frames = 0;
    int libraryLoads = 0;
    HWND window = nullptr;

    bool LoadDriverLibrary() override {
        ++libraryLoads;
        return true;
    }
    void FreeDriverLibrary() override { --libraryLoads; }
    bool Create(const char* title, CGraphicsParams* params) override;
    void Destroy() override;
    void gFlipBuffers() override;

private:
    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CloseWindow();
    bool m_bWithWindow;
};

// The default table with "OpenGL" made by the given factory.
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
    fs::path SettingsFolder() const { return root / "config" / "Talvorn" / "Mosark"; }
    fs::path LogFolder() const { return root / "state" / "Talvorn" / "Mosark"; }

    struct CBox {
        std::string text, caption;
    };
    fs::path root;
    fs::path previousDirectory;
    std::string log;
    std::vector<CBox> boxes;
};

} // namespace ShellTesting
