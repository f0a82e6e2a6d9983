#include "particles/library/TypeTurns.h"

#include <algorithm>
#include <bit>
#include <cstddef>

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

// Drops the places let go from `places` and moves those after them up.
void DropPlaces(std::vector<int64_t>& places, const CLivePlaces& held) {
    std::erase_if(places, [&](int64_t place) { return !held.IsLive(place); });
    for (int64_t& place : places) place = held.CountBefore(place);
}

} // namespace

void CTypeTurns::StartFrame(int64_t visits, bool limited) {
    EndFirstStep();
    const uint64_t last = m_frame++;
    // What the last frame planned and did not take is owed, after what was
    // owed before it.
    for (const int64_t place : m_plan) m_owed.push_back(place);
    std::erase_if(m_owed, [&](int64_t place) {
        if (size_t(place) >= m_slots.size()) return true;
        CSlot& slot = m_slots[size_t(place)];
        if (slot.taken == last || slot.owed == m_frame) return true;
        slot.owed = m_frame;
        return false;
    });
    m_plan.clear();
    m_firstStep = true;
    m_placed = false;
    m_next = 0;
    m_owedCost = 0;
    m_plannedCost = 0;
    m_planLeft = 0;
    if (!limited) {
        m_owed.clear();
        m_turn = 0;
        return;
    }
    PlanOwed(visits);
    m_owedCost = m_plannedCost;
    Plan(visits);
    m_planLeft = m_plannedCost;
    m_turn = m_plan.empty() ? 0 : m_plan.front();
}

void CTypeTurns::PlanOwed(int64_t visits) {
    size_t planned = 0;
    for (; planned < m_owed.size(); ++planned) {
        const int64_t place = m_owed[planned];
        if (planned > 0 && m_plannedCost + m_slots[size_t(place)].cost > visits) break;
        PlanPlace(place);
    }
    m_owed.erase(m_owed.begin(), m_owed.begin() + std::ptrdiff_t(planned));
}

void CTypeTurns::Plan(int64_t visits) {
    int64_t all = m_plannedCost;
    for (size_t place = 0; place < m_slots.size(); ++place)
        if (m_slots[place].planned != m_frame) all += m_slots[place].cost;
    if (all <= visits) {
        PlanAll();
        return;
    }
    for (size_t walked = 0; walked < m_order.size(); ++walked) {
        const int64_t place = m_order[m_front];
        if (m_slots[size_t(place)].planned != m_frame) {
            if (!m_plan.empty() && m_plannedCost + m_slots[size_t(place)].cost > visits) break;
            PlanPlace(place);
        }
        m_front = (m_front + 1) % m_order.size();
    }
}

void CTypeTurns::PlanAll() {
    for (size_t place = 0; place < m_slots.size(); ++place)
        if (m_slots[place].planned != m_frame) PlanPlace(int64_t(place));
}

void CTypeTurns::PlanPlace(int64_t place) {
    CSlot& slot = m_slots[size_t(place)];
    slot.planned = m_frame;
    m_plannedCost += slot.cost;
    m_plan.push_back(place);
}

void CTypeTurns::StartLaterStep() {
    EndFirstStep();
    m_firstStep = false;
    m_planLeft = 0;
    m_next = 0;
}

CTypeTurns::CPlace CTypeTurns::NextType(int64_t expected) {
    Drop();
    CPlace type{m_next++, m_firstStep};
    if (!m_firstStep) return type;
    m_placed = true;
    if (size_t(type.place) >= m_slots.size()) m_slots.resize(size_t(type.place) + 1);
    CSlot& slot = m_slots[size_t(type.place)];
    type.known = type.place < m_known;
    type.planned = slot.planned == m_frame;
    if (type.planned) {
        type.owed = slot.owed == m_frame;
        m_planLeft -= slot.cost;
    }
    slot.cost = expected;
    type.isTurn = type.planned && type.place == m_turn;
    return type;
}

void CTypeTurns::Took(const CPlace& type) {
    Drop();
    if (type.firstStep && size_t(type.place) < m_slots.size()) m_slots[size_t(type.place)].taken = m_frame;
}

void CTypeTurns::Pass(int64_t count, int64_t least) {
    Drop();
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
        return;
    }
    // Placed in a first step since over; an emitter of an earlier one did
    // not step since, and its places went to the types that did.
    if (run.frame != m_erasedFrame) return;
    const int64_t first = m_erased.CountBefore(run.first);
    // This frame's first step has reached them: they are other types' now.
    if (m_firstStep && first < m_next) return;
    Erase(first, count);
}

int64_t CTypeTurns::GetPlanned() const {
    if (!m_dropping) return int64_t(m_plan.size());
    return std::count_if(m_plan.begin(), m_plan.end(), [&](int64_t place) { return m_held.IsLive(place); });
}

void CTypeTurns::EndFirstStep() {
    Drop();
    if (!m_firstStep) return;
    m_erased.Reset(std::max(m_next, int64_t(m_slots.size())));
    m_erasedFrame = m_frame;
    std::sort(m_leaving.begin(), m_leaving.end(), [](const CLeft& a, const CLeft& b) { return a.first > b.first; });
    for (const CLeft& left : m_leaving) {
        Erase(left.first, left.count);
        m_next = AfterLeaving(m_next, left.first, left.count);
    }
    m_leaving.clear();
    Drop();
    if (m_placed) m_slots.resize(size_t(m_next));
    Order();
}

void CTypeTurns::Order() {
    const int64_t count = int64_t(m_slots.size());
    if (m_known > count) {
        const auto gone = [count](int64_t place) { return place >= count; };
        m_front -= size_t(std::count_if(m_order.begin(), m_order.begin() + std::ptrdiff_t(m_front), gone));
        std::erase_if(m_order, gone);
    } else if (m_known < count) {
        // Spread over the places added, next in the round: they have not
        // stepped yet.
        // They are written where they go, the round's rest moved past them once.
        const uint64_t added = uint64_t(count - m_known);
        const int bits = std::bit_width(added - 1);
        auto at = m_order.insert(m_order.begin() + std::ptrdiff_t(m_front), size_t(added), int64_t(0));
        for (uint64_t key = 0; key < (uint64_t(1) << bits); ++key)
            if (const uint64_t place = ReverseBits(key, bits); place < added) *at++ = m_known + int64_t(place);
    }
    if (m_front >= m_order.size()) m_front = 0;
    m_known = count;
}

void CTypeTurns::Erase(int64_t first, int64_t count) {
    if (!m_dropping) {
        int64_t size = int64_t(m_slots.size());
        for (const std::vector<int64_t>* places : {&m_order, &m_plan, &m_owed})
            for (const int64_t place : *places) size = std::max(size, place + 1);
        m_held.Reset(size);
        m_dropping = true;
    }
    m_erased.Take(first, count);
    int64_t at = first;
    for (const int64_t place : m_held.Take(first, count)) {
        const CSlot* slot = size_t(place) < m_slots.size() ? &m_slots[size_t(place)] : nullptr;
        if (m_firstStep && at >= m_next && slot && slot->planned == m_frame) m_planLeft -= slot->cost;
        ++at;
    }
    m_turn = AfterLeaving(m_turn, first, count);
    m_known = AfterLeaving(m_known, first, count);
}

void CTypeTurns::Drop() {
    if (!m_dropping) return;
    m_dropping = false;
    size_t kept = 0;
    for (size_t place = 0; place < m_slots.size(); ++place)
        if (m_held.IsLive(int64_t(place))) m_slots[kept++] = m_slots[place];
    m_slots.resize(kept);
    const auto gone = [&](int64_t place) { return !m_held.IsLive(place); };
    m_front -= size_t(std::count_if(m_order.begin(), m_order.begin() + std::ptrdiff_t(m_front), gone));
    DropPlaces(m_order, m_held);
    if (m_front >= m_order.size()) m_front = 0;
    DropPlaces(m_plan, m_held);
    DropPlaces(m_owed, m_held);
}

} // namespace VexaParticles
