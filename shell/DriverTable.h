#pragma once
// The graphics drivers the application can run on, by name, and the order in
// which they are tried.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/Settings.h"
#include "app/String.h"

namespace Engine {

class CApplication;
namespace Graphics {
class CGraphics;
}

struct CGraphicsDriverEntry {
    // The name "Settings.xml" gives, and the one the driver is shown as.
    const char* key;
    const char* shownName;
    // Makes the driver for the application cell; null when it cannot be
    // made here (a driver not available on this platform).
    std::function<std::unique_ptr<Graphics::CGraphics>(CApplication** application)> create;
};
using CGraphicsDriverTable = std::vector<CGraphicsDriverEntry>;

// kGraphicsDriverNames in that order.
CGraphicsDriverTable GetDefaultDriverTable();

// The named driver first (case-insensitive), then the others in table
// order; without a name (or with one the table lacks) kPreferredDriver
// comes first.
std::vector<const CGraphicsDriverEntry*> GetDriverTryOrder(const CGraphicsDriverTable& table,
                                                           const std::optional<CString>& name);

} // namespace Engine
