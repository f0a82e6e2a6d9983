// The OpenGL driver's error checks, built in (graphics_drivers_checked) so
// that they are tested in release builds too.

#include "graphics/OpenGLTestSupport.h"

using namespace OpenGLTest;

namespace {

using GlCheckTest = OpenGLFixture;

// An unknown compare code reaches GL unchanged and GL refuses it.
TEST_F(GlCheckTest, AFailedCallIsLoggedWithItsCall) {
    ASSERT_TRUE(CreateDriver());
    ASSERT_FALSE(log.Contains("OpenGL error"));
    driver->gSetDepthFunc(12345);
    EXPECT_TRUE(log.Contains("OpenGL error 0x0500 (GL_INVALID_ENUM) after glDepthFunc(MapCompareFunc(func)) at "
                             "GraphicsOGLStates.cpp:"))
        << log.Text();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
