#include "graphics/VideoModes.h"

#include <numeric>

#include "app/Exception.h"
#include "app/Log.h"

namespace Engine::Graphics {

void ResetGraphicsParams(CGraphicsParams& params) {
    params = CGraphicsParams{};
    params.center = 1;
    params.appFlag = 1;
    params.aspectY = 1;
}

void ReduceAspectRatio(int32_t& width, int32_t& height) {
    const int32_t divisor = std::gcd(width, height);
    if (divisor == 0) return;
    width /= divisor;
    height /= divisor;
}

namespace {
void FitUnscaled(CGraphicsParams& params) {
    params.scaled = 0;
    params.screenWidth = params.width;
    params.screenHeight = params.height;
    params.aspectX = params.width;
    params.aspectY = params.height;
    ReduceAspectRatio(params.aspectX, params.aspectY);
    params.contentLeft = 0;
    params.contentTop = 0;
    params.contentRight = params.width;
    params.contentBottom = params.height;
}
} // namespace

void FitDisplayAspect(const CVideoMode& desktop, CGraphicsParams& params, bool isDirect3D) {
    int32_t deskX = desktop.width, deskY = desktop.height;
    ReduceAspectRatio(deskX, deskY);
    // Zero sizes cannot be fitted; they would divide by zero below.
    if (!isDirect3D || !params.fullScreen || params.width <= 0 || params.height <= 0 || deskX <= 0 || deskY <= 0) {
        FitUnscaled(params);
        return;
    }
    int32_t reqX = params.width, reqY = params.height;
    ReduceAspectRatio(reqX, reqY);
    const bool tooWide = deskY * reqX / reqY < deskX || reqX < reqY * deskX / deskY;
    if (!tooWide) {
        FitUnscaled(params);
        return;
    }
    params.scaled = 1;
    params.screenWidth = desktop.width;
    params.screenHeight = desktop.height;
    params.aspectX = deskX;
    params.aspectY = deskY;
    const int32_t contentWidth = int32_t(int64_t(desktop.height) * params.width / params.height);
    params.contentLeft = (params.screenWidth - contentWidth) / 2;
    params.contentTop = 0;
    params.contentRight = params.contentLeft + contentWidth;
    params.contentBottom = desktop.height;
}

namespace {
const char* ModeName(const CGraphicsParams& p) { return p.fullScreen ? "Fullscreen" : "Windowed"; }

void LogParams(const char* when, const CGraphicsParams& p) {
    GetLog().PrintLine("%s: %dx%dx%d %d Hz %s", when, p.screenWidth, p.screenHeight, p.colorBits, p.refresh, ModeName(p));
}

void ChooseFullScreenMode(const std::vector<CVideoMode>& modes, const CVideoMode& desktop, CGraphicsParams& p) {
    int32_t depth = p.colorBits > 16 ? 32 : 16;
    bool found = false;
    int32_t lastDepth = -1;
    for (const CVideoMode& mode : modes) {
        if (mode.width != p.screenWidth || mode.height != p.screenHeight) continue;
        lastDepth = mode.bpp;
        if (mode.bpp == depth) found = true;
    }
    if (!found) depth = lastDepth;
    bool exists = false;
    uint32_t highest = 0;
    for (const CVideoMode& mode : modes) {
        if (mode.width != p.screenWidth || mode.height != p.screenHeight || mode.bpp != depth) continue;
        exists = true;
        if (uint32_t(mode.refresh) > highest) highest = uint32_t(mode.refresh);
    }
    if (!exists) {
        if (desktop.width <= p.screenWidth && desktop.height <= p.screenHeight)
            throw CException::Format("Engine::Graphics::CGraphics::AdjustVideoMode(...) : Unsupported video mode %dx%dx%d",
                                     p.screenWidth, p.screenHeight, depth);
        p.forceFullScreen = 0;
        p.forceWindowed = 1;
        p.fullScreen = 0;
    }
    p.colorBits = uint32_t(depth) < 24 ? 16 : 24;
    p.alphaBits = depth == 32 ? 8 : 0;
    if (p.fullScreen && exists && uint32_t(p.refresh) > highest) p.refresh = int32_t(highest);
}
} // namespace

void AdjustVideoMode(const std::vector<CVideoMode>& modes, const CVideoMode& desktop, CGraphicsParams& params,
                     bool isDirect3D, const std::function<void(CGraphicsParams&)>& hook) {
    if (params.forceWindowed) params.fullScreen = 0;
    if (params.forceFullScreen) params.fullScreen = 1;
    CLogSection section("CGraphics::AdjustVideoMode");
    FitDisplayAspect(desktop, params, isDirect3D);
    if (hook) hook(params);
    LogParams("Before", params);
    if (params.screenWidth > desktop.width || params.screenHeight > desktop.height) params.fullScreen = 1;
    if (!params.fullScreen) {
        params.colorBits = desktop.bpp > 23 ? 24 : 16;
        params.alphaBits = desktop.bpp == 32 ? 8 : 0;
    } else {
        ChooseFullScreenMode(modes, desktop, params);
    }
    LogParams("After", params);
}

void WindowToScreen(const CGraphicsParams& params, int32_t& x, int32_t& y) {
    const int64_t contentWidth = int64_t(params.contentRight) - params.contentLeft;
    const int64_t contentHeight = int64_t(params.contentBottom) - params.contentTop;
    if (contentWidth != 0) x = int32_t((int64_t(x) - params.contentLeft) * params.width / contentWidth);
    if (contentHeight != 0) y = int32_t((int64_t(y) - params.contentTop) * params.height / contentHeight);
}

} // namespace Engine::Graphics
