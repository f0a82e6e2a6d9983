#pragma once
// "Settings.xml": the graphics driver, full screen and 32-bit colour. The
// engine only reads it; an absent attribute leaves its value unset.

#include <optional>

#include "app/String.h"

namespace Engine {

class CXMLNode;

struct CGraphicsSettings {
    std::optional<CString> driver;  // "D3D8", "OpenGL", "D3D7" or "SFTW"
    std::optional<bool> fullscreen;
    std::optional<bool> bpp32;
};

// Reads the first "graphics" element of the document. "On"/"Off" in any
// case; another value, or an unknown driver, is logged and left unset. A
// missing or unreadable file leaves everything unset.
CGraphicsSettings ReadGraphicsSettings(const CString& path);
CGraphicsSettings ReadGraphicsSettings(const CXMLNode& root);

} // namespace Engine
