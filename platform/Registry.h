#pragma once
// Stand-in for the per-user registry values the program reads: the key
// "Software\<company>\<product>" is the folder <settings>/<company>/<product>
// and each value a one-line file named after it.

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// The longest value read; a longer one is refused.
inline constexpr size_t kMaxRegistryValueBytes = 4096;

// The string value (the file's first line), or null when the key or value
// does not exist or is refused. A value file that is not a regular file, is
// unreadable, holds a NUL byte or a first line longer than
// kMaxRegistryValueBytes is refused and, when problem is given, described
// there; a FIFO or a device there never blocks.
std::optional<std::string> RegQueryStringValue(const std::string& key, const std::string& valueName,
                                               std::string* problem = nullptr);

// The value held by the bytes of a value file; null and the reason when they
// are refused.
std::optional<std::string> ParseRegistryValue(std::string_view bytes, std::string& problem);

// The file that holds a value ("Software\A\B", "V" -> <settings>/A/B/V).
std::optional<std::string> RegistryValuePath(const std::string& key, const std::string& valueName);

// A value of the current hardware configuration. Only "Display\Settings"
// exists: "Resolution" ("<width>,<height>") and "BitsPerPixel" describe the
// display's current mode unless a test set them.
std::optional<std::string> RegQueryConfigValue(const std::string& key, const std::string& valueName);

} // namespace Platform
