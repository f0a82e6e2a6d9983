#pragma once
// Stand-in for the per-user registry values the program reads: the key
// "Software\<company>\<product>" is the folder <settings>/<company>/<product>
// and each value a one-line file named after it.

#include <optional>
#include <string>

namespace Platform {

// The string value, or null when the key or value does not exist.
std::optional<std::string> RegQueryStringValue(const std::string& key, const std::string& valueName);

// The file that holds a value ("Software\A\B", "V" -> <settings>/A/B/V).
std::optional<std::string> RegistryValuePath(const std::string& key, const std::string& valueName);

// A value of the current hardware configuration. Only "Display\Settings"
// exists: "Resolution" ("<width>,<height>") and "BitsPerPixel" describe the
// display's current mode unless a test set them.
std::optional<std::string> RegQueryConfigValue(const std::string& key, const std::string& valueName);

} // namespace Platform
