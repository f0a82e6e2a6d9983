// Replays a fuzz target's inputs through its entry point in an ordinary
// build, so every test run checks the seeds and the stored inputs.
//
//   replay_<name> --write-seeds DIR   writes the target's seeds into DIR
//   replay_<name> SEEDS STORED        runs every file of both folders; fails
//                                     when either folder is missing or empty

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace {

namespace fs = std::filesystem;

int WriteSeeds(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    const std::vector<CFuzzSeed> seeds = FuzzSeeds();
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds\n");
        return 1;
    }
    for (const CFuzzSeed& seed : seeds) {
        std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()), std::streamsize(seed.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write seed %s\n", (folder / seed.name).c_str());
            return 1;
        }
    }
    return 0;
}

std::vector<fs::path> ListInputs(const fs::path& folder) {
    std::vector<fs::path> inputs;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file()) inputs.push_back(it->path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

void Replay(const fs::path& input) {
    std::ifstream in(input, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Named first, so that a crash shows which input caused it.
    std::printf("%s (%zu bytes)\n", input.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-seeds") return WriteSeeds(argv[2]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s --write-seeds DIR | SEEDS STORED\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> inputs = ListInputs(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 1;
        }
        for (const fs::path& input : inputs) Replay(input);
        replayed += int(inputs.size());
    }
    std::printf("%d inputs replayed\n", replayed);
    return 0;
}
