#include "app/Settings.h"

#include <strings.h>

#include <memory>

#include "app/Log.h"
#include "app/Xml.h"

namespace Engine {

namespace {

std::optional<bool> ReadSwitch(const CXMLNode& node, const char* name) {
    const CString* text = node.FindAttribute(name);
    if (!text) return std::nullopt;
    if (::strcasecmp(text->c_str(), "On") == 0) return true;
    if (::strcasecmp(text->c_str(), "Off") == 0) return false;
    GetLog().PrintLine("Settings.xml : invalid value '%s' for '%s'", text->c_str(), name);
    return std::nullopt;
}

std::optional<CString> ReadDriver(const CXMLNode& node) {
    const CString* text = node.FindAttribute("driver");
    if (!text) return std::nullopt;
    for (const char* known : kGraphicsDriverNames) {
        if (::strcasecmp(text->c_str(), known) == 0) return CString(known);
    }
    GetLog().PrintLine("Settings.xml : invalid value '%s' for '%s', using '%s'", text->c_str(), "driver",
                       kPreferredDriver);
    return std::nullopt;
}

} // namespace

CGraphicsSettings ReadGraphicsSettings(const CXMLNode& root) {
    const CXMLNode* graphics = root.FindFirst("graphics");
    if (!graphics) return {};
    return {ReadDriver(*graphics), ReadSwitch(*graphics, "fullscreen"), ReadSwitch(*graphics, "bpp32")};
}

CGraphicsSettings ReadGraphicsSettings(const CString& path) {
    CFile file;
    if (!file.Open(path)) return {};
    // One byte over the limit tells a file too large, however large it is,
    // without reading (or parsing) the rest of it.
    CMemoryFile text(file, kMaxSettingsXmlBytes + 1);
    if (text.Size() > kMaxSettingsXmlBytes) {
        GetLog().PrintLine("Settings.xml : '%s' is larger than %zu bytes, using the defaults", path.c_str(),
                           kMaxSettingsXmlBytes);
        return {};
    }
    const std::unique_ptr<CXMLNode> root = ParseXML(text, path);
    return root ? ReadGraphicsSettings(*root) : CGraphicsSettings();
}

} // namespace Engine
