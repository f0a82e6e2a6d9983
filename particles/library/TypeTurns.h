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
//
// The turn is always a type that is there: an emitter let go takes its
// types' places with it (the types after them move up), and a turn past the
// types left goes round to the first.

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
    // Where an emitter's types began in a frame's first step; `first` is -1
    // for an emitter not placed in one.
    struct CRun {
        int64_t first = -1;
        uint64_t frame = 0;
    };

    void StartFrame() {
        EndFirstStep();
        m_types = m_placed - m_left;
        m_turn = m_firstWaited < 0 || m_types <= 0 ? 0 : m_firstWaited % m_types;
        m_firstWaited = -1;
        m_left = 0;
        m_firstStep = true;
        m_next = 0;
        ++m_frame;
    }
    // A later step of the frame: every type may take it, in order.
    void StartLaterStep() {
        EndFirstStep();
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

    // The emitter whose types come next: where they begin.
    CRun StartRun() const { return m_firstStep ? CRun{m_next, m_frame} : CRun{}; }
    // An emitter's `count` types, placed at `run`, are let go.
    void Leave(const CRun& run, int64_t count) {
        if (run.first < 0 || count <= 0) return;
        if (run.frame == m_frame) {
            // Placed in this frame's first step: the next frame's turn and
            // count are taken from it.
            if (m_firstWaited >= 0) m_firstWaited = AfterLeaving(m_firstWaited, run, count);
            m_left += count;
        } else if (run.frame + 1 == m_frame && m_firstStep && m_next <= m_turn) {
            // Not yet placed in this frame's first step, whose turn is still
            // to come: the places after them move up now.
            m_types -= count;
            m_turn = AfterLeaving(m_turn, run, count);
            if (m_turn >= m_types) m_turn = 0;
        }
    }

private:
    // A place after an emitter's types were let go: those after them move
    // up, and a place among them goes to the type that followed them.
    static int64_t AfterLeaving(int64_t place, const CRun& run, int64_t count) {
        if (place >= run.first + count) return place - count;
        return place >= run.first ? run.first : place;
    }
    void EndFirstStep() {
        if (m_firstStep) m_placed = m_next;
    }

    int64_t m_turn = 0;
    int64_t m_firstWaited = -1;
    int64_t m_next = 0;
    // Types placed in the frame's first step, those of them let go since,
    // and the types the frame's turn counts among.
    int64_t m_placed = 0;
    int64_t m_left = 0;
    int64_t m_types = 0;
    uint64_t m_frame = 0;
    bool m_firstStep = true;
};

} // namespace VexaParticles
