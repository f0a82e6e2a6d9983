// The Ogg Vorbis binding: an input opened twice as a stream list, read in
// pieces with and without looping, positioned and decoded whole. The file
// layer reads it by name from a private folder.

#include <stdlib.h>

#include <cstdio>
#include <string>

#include "app/Log.h"
#include "fuzz/FuzzTarget.h"
#include "sound/SampleDecoder.h"
#include "tools/OggWriter.h"

namespace {

using namespace Engine::Sound;

constexpr int kMaxPieces = 64;

const std::string& InputPath() {
    static const std::string path = [] {
        char folder[] = "/tmp/mosark_fuzz_ogg_XXXXXX";
        return std::string(mkdtemp(folder) ? folder : "/tmp") + "/input.ogg";
    }();
    return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void ReadPieces(CStreamList& list, bool loop) {
    uint8_t piece[4096];
    for (int i = 0; i < kMaxPieces; ++i) {
        uint32_t size = sizeof piece;
        if (!ReadStreams(list, piece, size, loop) || size == 0) return;
    }
}

CFuzzSeed Seed(const char* name, const Tools::CPcmSound& sound) {
    return {name, Tools::EncodeOggVorbis(sound)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    if (!WriteInput(data, size)) return 0;
    CSampleDecoder decoder;
    CStreamList list;
    for (int i = 0; i < 2; ++i) list.streams.emplace_back(new CSampleDecoder::CContext(InputPath().c_str()));
    if (!OpenStreams(list, decoder)) return 0;
    ReadPieces(list, true);
    SeekStreams(list, list.streams[0]->GetTotalFrames() / 2);
    ReadPieces(list, false);
    SeekStreams(list, INT32_MAX);
    ReadPieces(list, false);
    SeekStreams(list, 0);
    DecodeStreams(list);
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    return {Seed("mono.ogg", Tools::MakeTone(3000, 1, 22050, 440.0)),
            Seed("stereo.ogg", Tools::MakeTone(9000, 2, 44100, 330.0)),
            Seed("empty.ogg", Tools::CPcmSound{2, 44100, {}})};
}
