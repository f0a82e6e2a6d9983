#pragma once
// "Settings.xml": the graphics driver, full screen and 32-bit colour. The
// engine only reads it; an absent attribute leaves its value unset.

#include <array>
#include <optional>

#include "app/String.h"

namespace Engine {

class CXMLNode;

// The graphics drivers by name, in the order they are tried; without a
// usable name in "Settings.xml" the preferred one comes first.
enum EGraphicsDriver : size_t { kDriverD3D8, kDriverOpenGL, kDriverD3D7, kDriverSoftware };
inline constexpr std::array<const char*, 4> kGraphicsDriverNames = {"D3D8", "OpenGL", "D3D7", "SFTW"};
inline constexpr const char* kPreferredDriver = kGraphicsDriverNames[kDriverOpenGL];

struct CGraphicsSettings {
    std::optional<CString> driver;  // one of kGraphicsDriverNames
    std::optional<bool> fullscreen;
    std::optional<bool> bpp32;
};

// No real "Settings.xml" comes near this size; a larger file is not read.
inline constexpr size_t kMaxSettingsXmlBytes = size_t(1) << 20;

// Reads the first "graphics" element of the document. "On"/"Off" in any
// case; another value, or an unknown driver, is logged and left unset (the
// line of an unknown driver names the preferred one used instead). A
// missing or unreadable file leaves everything unset, and so does one over
// kMaxSettingsXmlBytes, with a log line.
CGraphicsSettings ReadGraphicsSettings(const CString& path);
CGraphicsSettings ReadGraphicsSettings(const CXMLNode& root);

} // namespace Engine
