#include "tools/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdlib>
#include <numbers>

namespace Tools {

namespace {

constexpr int kBlockFrames = 1024;

void Append(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Takes every packet the encoder has ready into pages; flush forces out a
// partial page (after the headers and at the end).
void Drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::vector<uint8_t>& out) {
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(&stream, &page)) Append(out, page);
        }
    }
}

int16_t ToSample(double value) { return int16_t(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0)); }

} // namespace

std::vector<uint8_t> EncodeOggVorbis(const CPcmSound& sound, float quality) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, sound.channels, sound.rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) Append(out, page);

    const size_t frames = sound.Frames();
    for (size_t start = 0; start < frames; start += kBlockFrames) {
        const int count = int(std::min<size_t>(kBlockFrames, frames - start));
        float** buffer = vorbis_analysis_buffer(&dsp, count);
        for (int i = 0; i < count; ++i)
            for (int c = 0; c < sound.channels; ++c)
                buffer[c][i] = sound.samples[(start + size_t(i)) * size_t(sound.channels) + size_t(c)] / 32768.0f;
        vorbis_analysis_wrote(&dsp, count);
        Drain(dsp, block, stream, out);
    }
    vorbis_analysis_wrote(&dsp, 0);
    Drain(dsp, block, stream, out);
    while (ogg_stream_flush(&stream, &page)) Append(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

CPcmSound MakeTone(size_t frames, int channels, int rate, double frequency, double amplitude) {
    CPcmSound sound{channels, rate, {}};
    sound.samples.resize(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double f = frequency * (c == 0 ? 1.0 : 1.5);
            sound.samples[i * size_t(channels) + size_t(c)] =
                ToSample(amplitude * std::sin(2.0 * std::numbers::pi * f * double(i) / rate));
        }
    return sound;
}

CPcmSound MakeAmbientPad(double seconds, int rate, double pitch) {
    const size_t frames = size_t(seconds * rate);
    CPcmSound sound{2, rate, {}};
    sound.samples.resize(frames * 2);
    // Whole cycles over the length, so the end meets the start.
    static constexpr double kCycles[] = {110.0, 165.0, 220.5, 277.0};
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / double(frames);
        const double swell = 0.6 + 0.4 * std::sin(2.0 * std::numbers::pi * t);
        double left = 0.0, right = 0.0;
        for (size_t k = 0; k < std::size(kCycles); ++k) {
            const double cycles = std::round(kCycles[k] * pitch * seconds);
            const double phase = 2.0 * std::numbers::pi * cycles * t;
            left += std::sin(phase + double(k));
            right += std::sin(phase + 2.0 * double(k));
        }
        sound.samples[2 * i] = ToSample(0.12 * swell * left);
        sound.samples[2 * i + 1] = ToSample(0.12 * swell * right);
    }
    return sound;
}

} // namespace Tools
