#pragma once
// The text at the bottom of the screen: at each scene change the next of
// the time-of-day greeting and the hints, faded in after the change and out
// before the next one.

#include <cstdint>
#include <vector>

#include "app/String.h"

namespace Engine {

class CLocaleManager;

class CNoticeText {
public:
    static constexpr double kFadeSeconds = 1.0;

    CNoticeText() = default;
    // The hints are only memory: at the process's end they are left to it.
    ~CNoticeText();
    CNoticeText(const CNoticeText&) = delete;
    CNoticeText& operator=(const CNoticeText&) = delete;

    void SetHints(std::vector<CString> hints) { m_hints = std::move(hints); }
    // The next text in turn, the first call giving the greeting for the
    // local hour (0 .. 23). A text the locale lacks is empty.
    void Next(const CLocaleManager& locale, int hour);
    const CString& GetText() const { return m_text; }

    // The locale key of the greeting for the hour.
    static const char* TimeOfDayKey(int hour);
    // 0 .. 1: rises over the first second after a change and falls over the
    // last second before the next one.
    static float Alpha(double sinceChange, double period);
    // White with the alpha in the top byte.
    static uint32_t Color(float alpha);

private:
    std::vector<CString> m_hints;
    CString m_text;
    size_t m_next = 0;  // 0 the greeting, i the hint i
};

// The hour of the local time of day.
int LocalHour();

} // namespace Engine
