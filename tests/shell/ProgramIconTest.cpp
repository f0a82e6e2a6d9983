// The program's icon group, drawn at build time and linked into the
// program: found by its id in the program's module, and shown by a
// driver's window once the application handles are taken.

#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/ApplicationHandles.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/Display.h"
#include "platform/Resources.h"
#include "platform/Testing.h"
#include "platform/Window.h"
#include "shell/ProgramResources.h"

namespace {

class ProgramIconTest : public ::testing::Test {
protected:
    void SetUp() override { Platform::Testing::Reset(); }
    void TearDown() override { Platform::Testing::Reset(); }
};

TEST_F(ProgramIconTest, IconGroupIsLinkedIntoTheProgram) {
    Engine::RegisterProgramResources();
    HICON icon = LoadIcon(GetModuleHandle(nullptr), Engine::kProgramIconId);
    ASSERT_NE(icon, nullptr);
    const std::vector<Platform::CIconImage>& images = *Platform::GetIconImages(icon);
    ASSERT_EQ(images.size(), 2u);
    for (const Platform::CIconImage& image : images) {
        const int size = image.width;
        EXPECT_EQ(image.height, size);
        auto at = [&](int x, int y) { return image.pixels[size_t(y) * size_t(size) + size_t(x)]; };
        EXPECT_EQ(at(0, 0) >> 24, 0u) << size << ": a round picture, clear in the corners";
        EXPECT_EQ(at(size / 2, size / 2) >> 24, 0xFFu) << size << ": opaque inside";
    }
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[1].width, 16);
}

TEST_F(ProgramIconTest, DriverWindowShowsTheProgramsIcon) {
    Engine::RegisterProgramResources();
    Engine::InitApplicationHandles(GetModuleHandle(nullptr));
    const Platform::Testing::CDisplayMode desktop{640, 480, 60, 32};
    Platform::Testing::SetDisplayModes({desktop}, desktop);
    Engine::CApplication app;
    Engine::CApplication* cell = &app;
    Engine::Graphics::CGraphics_SFTW driver(&cell);
    Engine::Graphics::CGraphicsParams params;
    Engine::Graphics::ResetGraphicsParams(params);
    params.width = 160;
    params.height = 120;
    params.colorBits = 24;
    ASSERT_TRUE(driver.Create("icon", &params));
    EXPECT_EQ(Platform::Testing::GetWindowIcon(app.m_hWnd), Engine::GetApplicationHandles().icon);
    EXPECT_EQ(Engine::GetApplicationHandles().icon, LoadIcon(GetModuleHandle(nullptr), Engine::kProgramIconId));
    driver.Destroy();
}

} // namespace
