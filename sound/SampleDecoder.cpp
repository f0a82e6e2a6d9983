#include "sound/SampleDecoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "app/Log.h"
#include "app/RepeatedLogLines.h"

namespace Engine::Sound {

namespace {

constexpr int kLittleEndian = 0, kWordBytes = 2, kSigned = 1;
constexpr uint32_t kDecodeChunk = 16384;

CFile& FileOf(void* source) { return *static_cast<CFile*>(source); }

// Positions a stream at a frame; false when it is closed or cannot seek.
bool SeekStream(CSampleDecoder::CContext& context, int64_t frame) {
    return context.IsOpen() && ov_pcm_seek(&context.GetState(), frame) == 0;
}

} // namespace

int32_t BytesPerFrame(int32_t formatCode) {
    static constexpr int32_t kBytes[] = {1, 2, 2, 4};
    return formatCode >= 0 && formatCode <= 3 ? kBytes[formatCode] : 4;
}

CSampleDecoder::CSampleDecoder() : m_callbacks{&Read, &Seek, &Close, &Tell} {}

size_t CSampleDecoder::Read(void* buffer, size_t itemSize, size_t itemCount, void* source) {
    // vorbisfile asks for bytes (items of 1).
    (void)itemSize;
    return FileOf(source).Read(buffer, itemCount);
}

int CSampleDecoder::Seek(void* source, ogg_int64_t offset, int origin) {
    return FileOf(source).Seek(offset, origin) == 0 ? 0 : -1;
}

int CSampleDecoder::Close(void* source) {
    FileOf(source).Close();
    return 1;
}

long CSampleDecoder::Tell(void* source) { return long(FileOf(source).Tell()); }

CSampleDecoder::CContext::~CContext() { CloseStream(*this); }

void CSampleDecoder::CContext::NoteEndOfData() {
    // The Ogg layer raises its end-of-stream flag when it takes the page that
    // ends the stream; data that runs out before it was cut off.
    if (m_cutShortLogged || !m_file || m_state.os.e_o_s) return;
    m_cutShortLogged = true;
    GetLog().PrintLine("Engine::Sound::ReadStreams(...) : '%s' ended before its declared length: its data stops "
                       "after %d frames, without the page that ends the stream",
                       m_name.c_str(), int(m_totalFrames));
}

bool OpenStream(CSampleDecoder& decoder, CSampleDecoder::CContext& context, int32_t frame,
                CRepeatedLogLines& warnings) {
    if (context.m_file) return SeekStream(context, frame);
    context.m_state = OggVorbis_File{};
    context.m_info = nullptr;
    // A failed open leaves the context closed, so a retry fails again.
    auto file = std::make_unique<CFile>();
    if (!file->Open(context.m_name)) return false;
    if (ov_open_callbacks(file.get(), &context.m_state, nullptr, 0, decoder.GetCallbacks()) < 0) {
        warnings.PrintLine("Engine::Sound::OpenStream(...) : not an Ogg Vorbis stream",
                           "Engine::Sound::OpenStream(...) : '%s' is not an Ogg Vorbis stream", context.m_name.c_str());
        return false;
    }
    vorbis_info* info = ov_info(&context.m_state, -1);
    const ogg_int64_t total = ov_pcm_total(&context.m_state, 0);
    if (!info || info->channels < 1 || info->channels > 2 || total < 0 || total > INT32_MAX) {
        warnings.PrintLine("Engine::Sound::OpenStream(...) : unsupported stream",
                           "Engine::Sound::OpenStream(...) : '%s' : unsupported stream (mono or stereo only)",
                           context.m_name.c_str());
        ov_clear(&context.m_state);
        return false;
    }
    context.m_info = info;
    context.m_formatCode = info->channels == 1 ? FORMAT_MONO16 : FORMAT_STEREO16;
    context.m_sampleRate = int32_t(info->rate);
    context.m_totalFrames = int32_t(total);
    context.m_file = std::move(file);
    return true;
}

bool OpenStream(CSampleDecoder& decoder, CSampleDecoder::CContext& context, int32_t frame) {
    // A fresh fold writes its first line of each kind: one stream logs at
    // most one.
    CRepeatedLogLines warnings;
    return OpenStream(decoder, context, frame, warnings);
}

bool OpenStreams(CStreamList& list, CSampleDecoder& decoder) {
    for (const auto& context : list.streams)
        if (!context || !OpenStream(decoder, *context, 0)) return false;
    return true;
}

void CloseStream(CSampleDecoder::CContext& context) {
    if (!context.m_file) return;
    ov_clear(&context.m_state);
    context.m_info = nullptr;
    context.m_file.reset();
}

bool ReadStreams(CStreamList& list, uint8_t* destination, uint32_t& size, bool loop) {
    const int32_t count = int32_t(list.streams.size());
    const uint32_t want = size;
    uint32_t got = 0;
    // Streams ended in a row without giving data: a whole round of them
    // means the list has nothing more to give, even when looping.
    int32_t emptyEnds = 0;
    size = 0;
    if (count == 0 || list.current < 0 || list.current >= count) return false;
    while (got < want) {
        CSampleDecoder::CContext& context = *list.streams[size_t(list.current)];
        if (!context.IsOpen()) return false;
        int section = 0;
        const int length = int(std::min<uint32_t>(want - got, INT_MAX));
        const long r = ov_read(&context.GetState(), reinterpret_cast<char*>(destination + got), length, kLittleEndian,
                               kWordBytes, kSigned, &section);
        if (r > 0) {
            got += uint32_t(r);
            emptyEnds = 0;
            continue;
        }
        if (r < 0) return false;
        context.NoteEndOfData();
        const bool last = list.current == count - 1;
        if ((!loop && last) || ++emptyEnds > count) {
            std::memset(destination + got, 0, want - got);
            break;
        }
        list.current = last ? 0 : list.current + 1;
        if (!SeekStream(*list.streams[size_t(list.current)], 0)) return false;
    }
    size = got;
    return true;
}

void SeekStreams(CStreamList& list, int32_t frame) {
    if (list.streams.empty()) throw std::out_of_range("Engine::Sound::SeekStreams : empty stream list");
    size_t i = 0;
    int64_t rest = std::max(frame, 0);
    while (i < list.streams.size() && rest >= list.streams[i]->GetTotalFrames()) {
        rest -= list.streams[i]->GetTotalFrames();
        ++i;
    }
    if (i == list.streams.size()) {
        i = list.streams.size() - 1;
        rest = std::max(list.streams[i]->GetTotalFrames() - 1, 0);
    }
    list.current = int32_t(i);
    SeekStream(*list.streams[i], rest);
}

std::vector<uint8_t> DecodeStreams(CStreamList& list) {
    std::vector<uint8_t> data;
    std::vector<uint8_t> chunk(kDecodeChunk);
    for (;;) {
        uint32_t n = kDecodeChunk;
        if (!ReadStreams(list, chunk.data(), n, false) || n == 0) break;
        data.insert(data.end(), chunk.begin(), chunk.begin() + n);
    }
    data.shrink_to_fit();
    return data;
}

} // namespace Engine::Sound
