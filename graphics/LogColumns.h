#pragma once
// The four-column listing the drivers write for video modes and texture
// formats.

#include <string>
#include <vector>

namespace Engine::Graphics {

// Writes cells in four columns: rows = (count + 3) / 4, row r holds cells
// r, r + rows, r + 2 rows, r + 3 rows, separated by separator; each row is
// one log line with the time prefix.
void LogColumns(const std::vector<std::string>& cells, const char* separator);

} // namespace Engine::Graphics
