#include "particles/library/TypeTurns.h"

#include <algorithm>
#include <bit>

namespace VexaParticles {
namespace {

// The key's `bits` low bits in reverse order: consecutive keys map to places
// spread evenly over the places.
uint64_t ReverseBits(uint64_t key, int bits) {
    if (bits <= 0) return 0;
    uint64_t v = key;
    v = ((v >> 1) & 0x5555555555555555ull) | ((v & 0x5555555555555555ull) << 1);
    v = ((v >> 2) & 0x3333333333333333ull) | ((v & 0x3333333333333333ull) << 2);
    v = ((v >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((v & 0x0F0F0F0F0F0F0F0Full) << 4);
    v = ((v >> 8) & 0x00FF00FF00FF00FFull) | ((v & 0x00FF00FF00FF00FFull) << 8);
    v = ((v >> 16) & 0x0000FFFF0000FFFFull) | ((v & 0x0000FFFF0000FFFFull) << 16);
    v = (v >> 32) | (v << 32);
    return v >> (64 - bits);
}

// A place after `count` places from `first` were let go: those after move
// up, and a place among them goes to the place that followed them.
int64_t AfterLeaving(int64_t place, int64_t first, int64_t count) {
    if (place >= first + count) return place - count;
    return std::min(place, first);
}

} // namespace

void CTypeTurns::StartFrame(int64_t visits, bool limited) {
    EndFirstStep();
    const uint64_t last = m_frame++;
    std::vector<int64_t> owed;
    for (const int64_t place : m_plan)
        if (size_t(place) < m_slots.size() && m_slots[size_t(place)].taken != last) owed.push_back(place);
    m_plan.clear();
    m_firstStep = true;
    m_placed = false;
    m_next = 0;
    m_known = int64_t(m_slots.size());
    m_owedCost = 0;
    if (!limited) {
        m_turn = 0;
        return;
    }
    int64_t sum = 0;
    for (const int64_t place : owed) {
        m_slots[size_t(place)].owed = m_frame;
        PlanPlace(place, sum);
    }
    m_owedCost = sum;
    Plan(visits - sum);
    m_turn = m_plan.empty() ? 0 : m_plan.front();
}

void CTypeTurns::Plan(int64_t visits) {
    int64_t all = 0;
    for (const CSlot& slot : m_slots)
        if (slot.planned != m_frame) all += slot.cost;
    if (all <= visits || m_slots.empty()) {
        PlanAll();
        return;
    }
    const uint64_t count = m_slots.size();
    const int bits = std::bit_width(count - 1);
    const uint64_t keys = uint64_t(1) << bits;
    int64_t sum = 0;
    for (uint64_t walked = 0; walked < keys; ++walked) {
        const uint64_t key = m_nextKey % keys;
        const uint64_t place = ReverseBits(key, bits);
        if (place < count && m_slots[place].planned != m_frame) {
            if (!m_plan.empty() && sum + m_slots[place].cost > visits) break;
            PlanPlace(int64_t(place), sum);
        }
        m_nextKey = key + 1;
    }
}

void CTypeTurns::PlanAll() {
    int64_t sum = 0;
    for (size_t place = 0; place < m_slots.size(); ++place)
        if (m_slots[place].planned != m_frame) PlanPlace(int64_t(place), sum);
}

void CTypeTurns::PlanPlace(int64_t place, int64_t& sum) {
    CSlot& slot = m_slots[size_t(place)];
    slot.planned = m_frame;
    sum += slot.cost;
    m_plan.push_back(place);
}

void CTypeTurns::StartLaterStep() {
    EndFirstStep();
    m_firstStep = false;
    m_next = 0;
}

CTypeTurns::CPlace CTypeTurns::NextType(int64_t expected) {
    CPlace type{m_next++, m_firstStep};
    if (!m_firstStep) return type;
    m_placed = true;
    if (size_t(type.place) >= m_slots.size()) m_slots.resize(size_t(type.place) + 1);
    CSlot& slot = m_slots[size_t(type.place)];
    type.known = type.place < m_known;
    type.planned = slot.planned == m_frame;
    if (type.planned && slot.owed == m_frame) type.owedCost = slot.cost;
    slot.cost = expected;
    type.isTurn = type.planned && type.place == m_turn;
    return type;
}

void CTypeTurns::Took(const CPlace& type) {
    if (type.firstStep && size_t(type.place) < m_slots.size()) m_slots[size_t(type.place)].taken = m_frame;
}

void CTypeTurns::Pass(int64_t count, int64_t least) {
    if (!m_firstStep || count <= 0) return;
    m_placed = true;
    m_next += count;
    if (size_t(m_next) > m_slots.size()) m_slots.resize(size_t(m_next), CSlot{least});
}

void CTypeTurns::Leave(const CRun& run, int64_t count) {
    if (run.first < 0 || count <= 0) return;
    if (run.frame == m_frame && m_firstStep) {
        // The rest of the step still counts places from before.
        m_leaving.push_back({run.first, count});
    } else if (run.frame == m_frame || (run.frame + 1 == m_frame && m_firstStep && m_next <= run.first)) {
        // The step that placed them is over, or this frame's first step has
        // not reached them yet.
        Erase(run.first, count);
    }
}

void CTypeTurns::EndFirstStep() {
    if (!m_firstStep) return;
    std::sort(m_leaving.begin(), m_leaving.end(), [](const CLeft& a, const CLeft& b) { return a.first > b.first; });
    for (const CLeft& left : m_leaving) {
        Erase(left.first, left.count);
        m_next = AfterLeaving(m_next, left.first, left.count);
    }
    m_leaving.clear();
    if (m_placed) m_slots.resize(size_t(m_next));
}

void CTypeTurns::Erase(int64_t first, int64_t count) {
    const int64_t size = int64_t(m_slots.size());
    const int64_t from = std::min(first, size);
    m_slots.erase(m_slots.begin() + from, m_slots.begin() + std::min(first + count, size));
    std::erase_if(m_plan, [&](int64_t place) { return place >= first && place < first + count; });
    for (int64_t& place : m_plan) place = AfterLeaving(place, first, count);
    m_turn = AfterLeaving(m_turn, first, count);
    m_known = AfterLeaving(m_known, first, count);
}

} // namespace VexaParticles
