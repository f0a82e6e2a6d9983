// "StartupPath" value reader: any bytes give either one line that fits the
// limit, without a NUL or a line break, or a refusal with its reason.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/Registry.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problem;
    const auto value = Platform::ParseRegistryValue(std::string_view(reinterpret_cast<const char*>(data), size), problem);
    if (value.has_value() == !problem.empty()) std::abort();
    if (value && (value->size() > Platform::kMaxRegistryValueBytes ||
                  value->find_first_of(std::string_view("\n\0", 2)) != std::string::npos))
        std::abort();
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    const auto bytes = [](std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    return {{"path.txt", bytes("/opt/mosark/data\n")},
            {"crlf-two-lines.txt", bytes("C:\\Games\\Mosark\r\nsecond\r\n")},
            {"longest.txt", std::vector<uint8_t>(Platform::kMaxRegistryValueBytes, 'a')}};
}
