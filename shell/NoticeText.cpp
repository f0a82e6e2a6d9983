#include "shell/NoticeText.h"

#include <algorithm>
#include <ctime>

#include "app/Locale.h"
#include "app/Math.h"
#include "app/ProcessEnd.h"

namespace Engine {

CNoticeText::~CNoticeText() { CProcessEnd::Leave(std::move(m_hints)); }

void CNoticeText::Next(const CLocaleManager& locale, int hour) {
    if (m_next == 0) {
        const char* key = TimeOfDayKey(hour);
        m_text = locale.HasString(key) ? locale.FindString(key) : CString();
    } else {
        m_text = m_hints[m_next - 1];
    }
    m_next = (m_next + 1) % (m_hints.size() + 1);
}

const char* CNoticeText::TimeOfDayKey(int hour) {
    static constexpr const char* kKeys[] = {"TIME_NIGHT", "TIME_MORNING", "TIME_DAY", "TIME_EVENING"};
    return kKeys[std::clamp(hour, 0, 23) / 6];
}

float CNoticeText::Alpha(double sinceChange, double period) {
    const double rising = sinceChange / kFadeSeconds;
    const double falling = (period - sinceChange) / kFadeSeconds;
    return float(std::clamp(std::min(rising, falling), 0.0, 1.0));
}

uint32_t CNoticeText::Color(float alpha) {
    return PackColorARGB(1.0f, 1.0f, 1.0f, alpha);
}

int LocalHour() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_hour;
}

} // namespace Engine
