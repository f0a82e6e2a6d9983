// The decoder binding against vorbisfile's own decode of the same files.

#include <gtest/gtest.h>

#include "SoundTestSupport.h"

namespace {

using namespace SoundTest;

class SampleDecoderTest : public ::testing::Test {
protected:
    ~SampleDecoderTest() noexcept override {}
    void SetUp() override { Engine::CFile::SetDiskRoot(m_folder.Path().string().c_str()); }
    void TearDown() override { Engine::CFile::SetDiskRoot(""); }

    // A list of the named files, opened.
    CStreamList Open(std::initializer_list<const char*> names, bool expectOpen = true) {
        CStreamList list;
        for (const char* name : names) list.streams.emplace_back(new CSampleDecoder::CContext(name));
        EXPECT_EQ(OpenStreams(list, m_decoder), expectOpen);
        return list;
    }
    std::vector<int16_t> Tone(const char* name, size_t frames, int channels) {
        WriteOgg(m_folder, name, Tools::MakeTone(frames, channels, 44100, 440.0));
        return ReferenceDecode(m_folder / name);
    }
    static std::vector<int16_t> Read(CStreamList& list, uint32_t bytes, bool loop, uint32_t& got, bool read = true) {
        std::vector<uint8_t> out(bytes, 0xAA);
        got = bytes;
        EXPECT_EQ(ReadStreams(list, out.data(), got, loop), read);
        return ToSamples(out);
    }

    TestFiles::CScratchFolder m_folder;
    CSampleDecoder m_decoder;
};

TEST_F(SampleDecoderTest, FormatCodesRatesAndLengthsOfMonoAndStereo) {
    Tone("mono.ogg", 1000, 1);
    Tone("stereo.ogg", 3000, 2);
    CStreamList list = Open({"mono.ogg", "stereo.ogg"});
    EXPECT_EQ(list.streams[0]->GetFormatCode(), FORMAT_MONO16);
    EXPECT_EQ(list.streams[1]->GetFormatCode(), FORMAT_STEREO16);
    EXPECT_EQ(list.streams[0]->GetSampleRate(), 44100);
    EXPECT_EQ(list.streams[0]->GetTotalFrames(), 1000);
    EXPECT_EQ(list.streams[1]->GetTotalFrames(), 3000);
}

TEST_F(SampleDecoderTest, LoopingReadWrapsToTheStart) {
    const std::vector<int16_t> ref = Tone("a.ogg", 1000, 2);
    CStreamList list = Open({"a.ogg"});
    uint32_t got = 0;
    Read(list, 3000 * 4, true, got);  // 3000 of 1000 frames: wraps twice
    EXPECT_EQ(got, 3000u * 4);
    SeekStreams(list, 900);
    const std::vector<int16_t> wrapped = Read(list, 200 * 4, true, got);
    EXPECT_EQ(got, 200u * 4);
    EXPECT_EQ(Slice(wrapped, 0, 200), Slice(ref, 1800, 200));
    EXPECT_EQ(Slice(wrapped, 200, 200), Slice(ref, 0, 200));
}

TEST_F(SampleDecoderTest, ReadWithoutLoopZeroFillsThenGivesNothing) {
    const std::vector<int16_t> ref = Tone("a.ogg", 1000, 1);
    CStreamList list = Open({"a.ogg"});
    SeekStreams(list, 900);
    uint32_t got = 0;
    const std::vector<int16_t> tail = Read(list, 300 * 2, false, got);
    EXPECT_EQ(got, 100u * 2);
    EXPECT_EQ(Slice(tail, 0, 100), Slice(ref, 900, 100));
    EXPECT_EQ(Slice(tail, 100, 200), std::vector<int16_t>(200, 0));
    Read(list, 100, false, got);
    EXPECT_EQ(got, 0u);
}

TEST_F(SampleDecoderTest, TwoFilesPlayBackToBackAndSeekCountsThroughThem) {
    const std::vector<int16_t> first = Tone("100.ogg", 100, 1);
    const std::vector<int16_t> second = Tone("200.ogg", 200, 1);
    CStreamList list = Open({"100.ogg", "200.ogg"});
    std::vector<int16_t> both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(ToSamples(DecodeStreams(list)), both);

    SeekStreams(list, 150);
    EXPECT_EQ(list.current, 1);
    uint32_t got = 0;
    EXPECT_EQ(Slice(Read(list, 10 * 2, false, got), 0, 10), Slice(second, 50, 10));
    SeekStreams(list, 400);
    EXPECT_EQ(list.current, 1);
    const std::vector<int16_t> last = Read(list, 10 * 2, false, got);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(last[0], second[199]);
}

TEST_F(SampleDecoderTest, BadFilesFailToOpenWithALogLineAndStayClosed) {
    const std::string good = WriteOgg(m_folder, "good.ogg", Tools::MakeTone(20000, 2, 44100, 440.0));
    m_folder.Write("noise.ogg", std::string(5000, 'x'));
    m_folder.Write("cut.ogg", good.substr(0, 100));
    m_folder.Write("half.ogg", good.substr(0, good.size() / 2));
    for (const char* name : {"missing.ogg", "noise.ogg", "cut.ogg", "half.ogg"}) {
        TestFiles::CLogCapture log;
        CStreamList list = Open({name}, false);
        EXPECT_FALSE(log.Text().empty()) << name;
        EXPECT_FALSE(list.streams[0]->IsOpen()) << name;
        // A second attempt fails again rather than reading a dead stream.
        EXPECT_FALSE(OpenStream(m_decoder, *list.streams[0], 0)) << name;
        uint32_t got = 0;
        Read(list, 64, true, got, false);
        EXPECT_EQ(got, 0u);
    }
}

TEST_F(SampleDecoderTest, ALoopingReadOfEmptyStreamsEnds) {
    WriteOgg(m_folder, "empty.ogg", Tools::CPcmSound{2, 44100, {}});
    CStreamList empty = Open({"empty.ogg", "empty.ogg"});
    uint32_t got = 0;
    Read(empty, 4096, true, got);
    EXPECT_EQ(got, 0u);
}

// A file cut off after its first pages still opens and plays what it
// holds; that it ended early is said once, however often it loops.
struct CCutCase {
    const char* name;
    size_t keptPercent;
    size_t lines;
};

class SampleDecoderCutTest : public SampleDecoderTest, public ::testing::WithParamInterface<CCutCase> {};

TEST_P(SampleDecoderCutTest, EndBeforeTheLastPageIsLoggedOnce) {
    const std::string whole = WriteOgg(m_folder, "whole.ogg", Tools::MakeTone(100000, 2, 44100, 440.0));
    m_folder.Write("track.ogg", whole.substr(0, whole.size() * GetParam().keptPercent / 100));
    TestFiles::CLogCapture log;
    CStreamList list = Open({"track.ogg"});
    const uint32_t frames = uint32_t(list.streams[0]->GetTotalFrames());
    ASSERT_GT(frames, 0u);
    uint32_t got = 0;
    Read(list, 3 * frames * 4 + 4, true, got);  // wraps three times
    EXPECT_EQ(got, 3 * frames * 4 + 4);
    Read(list, 4 * frames, false, got);
    size_t lines = 0;
    for (size_t at = 0; (at = log.Text().find("'track.ogg' ended before its declared length", at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(lines, GetParam().lines) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Files, SampleDecoderCutTest,
                         ::testing::Values(CCutCase{"Whole", 100, 0}, CCutCase{"ThreeQuarters", 75, 1},
                                           CCutCase{"NineTenths", 90, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
