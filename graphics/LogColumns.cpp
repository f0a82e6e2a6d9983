#include "graphics/LogColumns.h"

#include "app/Log.h"

namespace Engine::Graphics {

void LogColumns(const std::vector<std::string>& cells, const char* separator) {
    const size_t rows = (cells.size() + 3) / 4;
    for (size_t r = 0; r < rows; ++r) {
        std::string line;
        for (size_t c = 0; c < 4; ++c) {
            const size_t index = r + c * rows;
            if (index >= cells.size()) break;
            if (c > 0) line += separator;
            line += cells[index];
        }
        GetLog().PrintLine("%s", line.c_str());
    }
}

} // namespace Engine::Graphics
