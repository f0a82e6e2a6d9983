#pragma once
// Which particle types take the frame's first step when the frame's visits
// do not pay for every type. Types are told apart by their place in the step
// (the order the frame loop steps them in), never by pointers.
//
// The frame's first step begins with the first type that waited in the last
// frame's first step (its turn): types are taken in order from it while the
// visits pay for them, and the types before it wait for the next frame. The
// frame after one whose first step reached the last type begins with the
// first type. So the types are taken round in order, and a type waits at
// most one frame more than the visits of one step of every type take.

#include <cstdint>

namespace VexaParticles {

class CTypeTurns {
public:
    // Where a type of the step stands.
    struct CPlace {
        int64_t place = 0;
        bool beforeTurn = false;  // in the first step, before the turn: it waits
        bool isTurn = false;      // in the first step, the turn itself: it is taken
    };

    void StartFrame() {
        m_turn = m_firstWaited < 0 ? 0 : m_firstWaited;
        m_firstWaited = -1;
        m_firstStep = true;
        m_next = 0;
    }
    // A later step of the frame: every type may take it, in order.
    void StartLaterStep() {
        m_firstStep = false;
        m_next = 0;
    }
    CPlace NextType() {
        const CPlace type{m_next, m_firstStep && m_next < m_turn, m_firstStep && m_next == m_turn};
        ++m_next;
        return type;
    }
    // The type waits for want of visits.
    void Waited(const CPlace& type) {
        if (m_firstStep && m_firstWaited < 0) m_firstWaited = type.place;
    }
    int64_t GetTurn() const { return m_turn; }

private:
    int64_t m_turn = 0;
    int64_t m_firstWaited = -1;
    int64_t m_next = 0;
    bool m_firstStep = true;
};

} // namespace VexaParticles
