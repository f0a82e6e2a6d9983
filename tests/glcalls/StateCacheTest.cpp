// The OpenGL driver sets no state GL already holds, and forgets what it
// holds when the context may have changed behind it.

#include "glcalls/GlCallRecorder.h"
#include "graphics/OpenGLTestSupport.h"

using namespace OpenGLTest;
using ::testing::ElementsAre;
using ::testing::IsSupersetOf;

namespace {

class StateCacheTest : public OpenGLFixture {
protected:
    // One batch as the sprite queue issues it: texture, blend states, draw.
    void DrawBatch(const ref_ptr<CTexture>& texture, const ref_ptr<CVertexBuffer>& quads) {
        driver->gSetTextureStage(0, texture);
        driver->gSwitch(SWITCH_ALPHA_BLEND, true);
        driver->gSetBlendFunc(BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA);
        driver->gDraw(PRIM_QUAD_LIST, quads, 0, 1, nullptr);
    }
    std::vector<std::string> RecordBatch(const ref_ptr<CTexture>& texture, const ref_ptr<CVertexBuffer>& quads) {
        GlCalls::StartRecording();
        DrawBatch(texture, quads);
        return GlCalls::StopRecording();
    }
};

TEST_F(StateCacheTest, ASecondBatchWithTheSameStatesIssuesOnlyPointersAndTheDraw) {
    CreateReadyDriver();
    const ref_ptr<CTexture> texture = MakeTexture(QuadrantBitmap(8));
    const ref_ptr<CVertexBuffer> first = QuadBuffer(*driver, {Rect(0, 0, 80, 60)});
    const ref_ptr<CVertexBuffer> second = QuadBuffer(*driver, {Rect(80, 60, 160, 120)});
    DrawBatch(texture, first);

    EXPECT_THAT(RecordBatch(texture, second),
                ElementsAre("glVertexPointer", "glColorPointer", "glTexCoordPointer", "glDrawArrays"));
    // The same buffer again: GL's arrays already point at it.
    EXPECT_THAT(RecordBatch(texture, second), ElementsAre("glDrawArrays"));
    ExpectPixels({{10, 10, kRed}, {150, 110, kWhite}});
}

TEST_F(StateCacheTest, AModeChangeForgetsTheStates) {
    CreateReadyDriver();
    const ref_ptr<CTexture> texture = MakeTexture(QuadrantBitmap(8));
    const ref_ptr<CVertexBuffer> quads = QuadBuffer(*driver, {Rect(0, 0, 160, 120)});
    DrawBatch(texture, quads);
    ASSERT_TRUE(driver->ChangeVideoMode(WindowedParams()));

    // Texturing and blending switched on again (the restored texture was
    // bound through the cache while it was made).
    EXPECT_THAT(RecordBatch(texture, quads),
                IsSupersetOf({"glEnable", "glEnable", "glBlendFunc", "glEnableClientState", "glVertexPointer"}));
}

// Making a texture binds it; the next batch must bind its own again.
TEST_F(StateCacheTest, ATextureMadeBetweenBatchesDoesNotReplaceTheBatchTexture) {
    CreateReadyDriver();
    const ref_ptr<CVertexBuffer> quads = QuadBuffer(*driver, {Rect(0, 0, 160, 120)});
    const ref_ptr<CTexture> red = MakeTexture(MakeBitmap(4, 4, [](int, int) { return kRed; }));
    DrawBatch(red, quads);
    const ref_ptr<CTexture> blue = MakeTexture(MakeBitmap(4, 4, [](int, int) { return kBlue; }));
    Clear(0, 0, 0);
    DrawBatch(red, quads);
    ExpectPixels({{80, 60, kRed}});
}

} // namespace
