#pragma once
// Ogg Vorbis decoding over the engine's files, and stream lists: the files
// of one sample in play order with a current position, read piecewise
// (looping or running on from file to file) or decoded whole.

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/File.h"
#include "app/Referenced.h"
#include "app/String.h"

namespace Engine {
class CRepeatedLogLines;
}

namespace Engine::Sound {

// Format codes: bit 0 set = 16-bit samples, bit 1 set = two channels.
enum EFormatCode : int32_t { FORMAT_MONO8 = 0, FORMAT_MONO16 = 1, FORMAT_STEREO8 = 2, FORMAT_STEREO16 = 3 };

int32_t BytesPerFrame(int32_t formatCode);

// Holds the file callbacks vorbisfile reads through; one per process, made
// by the sound manager.
class CSampleDecoder : public CReferenced {
public:
    CSampleDecoder();

    // One stream: a file and its decoding state. Opened once, closed by
    // CloseStream or when destroyed.
    class CContext : public CReferenced {
    public:
        explicit CContext(const CString& name) : m_name(name) {}
        ~CContext() override;

        const CString& GetName() const { return m_name; }
        bool IsOpen() const { return m_file != nullptr; }
        int32_t GetFormatCode() const { return m_formatCode; }
        int32_t GetSampleRate() const { return m_sampleRate; }
        int32_t GetTotalFrames() const { return m_totalFrames; }
        // Valid while open.
        OggVorbis_File& GetState() { return m_state; }
        // Called when the stream's data has run out: a stream cut short
        // (its data ends before the page that marks its end) is logged, once
        // for the life of the context however often it is played or looped.
        void NoteEndOfData();

    private:
        friend bool OpenStream(CSampleDecoder&, CContext&, int32_t, CRepeatedLogLines&);
        friend void CloseStream(CContext&);

        std::unique_ptr<CFile> m_file;
        OggVorbis_File m_state{};
        vorbis_info* m_info = nullptr;
        CString m_name;
        int32_t m_formatCode = FORMAT_MONO16;
        int32_t m_sampleRate = 0;
        int32_t m_totalFrames = 0;
        bool m_cutShortLogged = false;
    };

    const ov_callbacks& GetCallbacks() const { return m_callbacks; }

    // vorbisfile's callbacks; source is the context's CFile.
    static size_t Read(void* buffer, size_t itemSize, size_t itemCount, void* source);
    static int Seek(void* source, ogg_int64_t offset, int origin);
    static int Close(void* source);
    static long Tell(void* source);

private:
    ov_callbacks m_callbacks;
};

// The files of one sample in play order and the one being read.
struct CStreamList {
    std::vector<ref_ptr<CSampleDecoder::CContext>> streams;
    int32_t current = 0;
};

// Opens the context's file (a fresh stream starts at frame 0), or seeks an
// open one to the frame. False (logged) when the file is missing, is not Ogg
// Vorbis or has more than two channels; the context then stays closed.
// The lines of a stream that is not Ogg Vorbis or not mono or stereo go
// through the warnings, so that a caller opening many files can fold them;
// without, each is written.
bool OpenStream(CSampleDecoder& decoder, CSampleDecoder::CContext& context, int32_t frame,
                CRepeatedLogLines& warnings);
bool OpenStream(CSampleDecoder& decoder, CSampleDecoder::CContext& context, int32_t frame);
// Opens every stream at frame 0; false at the first failure.
bool OpenStreams(CStreamList& list, CSampleDecoder& decoder);
// Closes the stream's decoder state and file; nothing when it is closed.
void CloseStream(CSampleDecoder::CContext& context);
// Fills up to size bytes of 16-bit little-endian PCM from the current
// stream on. At a stream's end it continues with the next one, wrapping to
// the first when looping; without looping the last stream's end fills the
// rest with zeros. size becomes the bytes decoded (without the zeros).
// False, with size 0, on a decoding error. A list that yields nothing in a
// whole round gives size 0 even when looping.
bool ReadStreams(CStreamList& list, uint8_t* destination, uint32_t& size, bool loop);
// Makes the stream holding the frame (counted through the list) current
// and positions it there; a frame past the end goes to the last frame.
// The list must not be empty.
void SeekStreams(CStreamList& list, int32_t frame);
// Decodes every stream from its current position, back to back.
std::vector<uint8_t> DecodeStreams(CStreamList& list);

} // namespace Engine::Sound
