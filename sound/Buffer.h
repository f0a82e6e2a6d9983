#pragma once
// A voice as the engine sees it, and the parameters it is played with.

#include <cstdint>

namespace Engine::Sound {

struct CPlayParams {
    float pitch = 1.0f;      // frequency ratio to the file's own rate
    float volume = 1.0f;     // 0..1, multiplied by the fade level and the group volume
    float pan = 0.0f;        // -1 left .. +1 right
    bool loop = false;       // a streamed voice restarts its streams at their end
    int32_t startFrame = 0;  // where a streamed voice starts in its streams
    float fadeLevel = 1.0f;  // set before the volume is applied
};

class CBuffer {
public:
    virtual bool Play(CPlayParams params) = 0;
    virtual bool Stop() = 0;
    virtual bool IsCreated() const = 0;
    virtual bool IsReady() const = 0;
    // 0 while playing; 1 otherwise (also without an output buffer).
    virtual int32_t GetState() = 0;
    virtual void Update() = 0;
    virtual void Release() = 0;
    // The play cursor in frames; 0 when it cannot be read.
    virtual uint32_t GetPosition() = 0;
    virtual bool SetVolume(float volume) = 0;
    virtual bool SetPan(float pan) = 0;
    virtual bool SetPitch(float ratio) = 0;
    virtual void FadeOut(float seconds, bool stopAtEnd) = 0;
    virtual void FadeIn(float seconds) = 0;
    // Clamped to 0..1; the volume is not re-applied.
    virtual void SetFadeLevel(float level) = 0;
    virtual bool IsFadeDone() const = 0;

    // The parameters of the last Play.
    const CPlayParams& GetPlayParams() const { return m_params; }

protected:
    ~CBuffer() = default;

    CPlayParams m_params;
};

} // namespace Engine::Sound
