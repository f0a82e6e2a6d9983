#pragma once
// Which particle types take the frame's first step when the frame's visits
// do not pay for every type. Types are told apart by their place in the step
// (the order the frame loop steps them in), never by pointers.
//
// The frame's first step goes round the types from the first type that
// waited in the last frame's first step (its turn): types are taken in order
// from it to the last type while the visits pay for them, and then on from
// the first type up to the turn (the round's end), so that a frame whose
// round reaches the last type still spends its visits. The types before the
// turn come first in the step, so they are taken only while the visits
// left, less what the types from the turn on cost at their last look, pay
// for them. The next frame's turn is the first type in that round order that
// waited; where a type from the turn on waited after the round's end was
// taken, the types of that end stay done for the round and wait, and the
// next frame's end goes on where this one stopped. So the types are taken
// round in order, and a type waits at most one frame more than the visits
// of one step of every type take.
//
// The turn is always a type that is there: an emitter let go takes its
// types' places with it (the types after them move up), and a turn past the
// types left goes round to the first.

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace VexaParticles {

class CTypeTurns {
public:
    // Where a type of the step stands.
    struct CPlace {
        int64_t place = 0;
        bool doneInRound = false; // in the first step, taken in this round already: it waits
        bool beforeTurn = false;  // in the first step, before the turn: the round's end
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
        const bool endTaken = m_hadRoundEnd && m_wrapWaited < 0;
        int64_t turn = m_firstWaited >= 0 ? m_firstWaited : std::max<int64_t>(m_wrapWaited, 0);
        // A round cut short before its last type goes on where its end
        // stopped; the types taken before that are done for this round.
        int64_t resume = m_firstWaited < 0 || endTaken ? 0 : m_wrapWaited >= 0 ? m_wrapWaited : m_keptResume;
        if (m_types <= 0 || turn >= m_types) turn = resume = 0;
        m_turn = turn;
        m_resume = std::min(resume, turn);
        m_keptResume = m_resume;
        m_hadRoundEnd = m_resume < m_turn;
        m_firstWaited = -1;
        m_wrapWaited = -1;
        m_left = 0;
        m_firstStep = true;
        m_next = 0;
        m_roundRest = RestFrom(m_turn);
        ++m_frame;
    }
    // A later step of the frame: every type may take it, in order.
    void StartLaterStep() {
        EndFirstStep();
        m_firstStep = false;
        m_next = 0;
    }
    // The next type, which is expected to cost `expected` visits.
    CPlace NextType(int64_t expected = 0) {
        const CPlace type{m_next, m_firstStep && m_next < m_resume, m_firstStep && m_next >= m_resume && m_next < m_turn,
                          m_firstStep && m_next == m_turn};
        if (m_firstStep) {
            if (size_t(m_next) >= m_costs.size()) m_costs.resize(size_t(m_next) + 1, 0);
            m_costs[size_t(m_next)] = expected;
        }
        ++m_next;
        return type;
    }
    // `count` types wait the step unasked: in the first step they keep their
    // places, and a place not yet seen is expected to cost `least`.
    void Pass(int64_t count, int64_t least) {
        if (!m_firstStep || count <= 0) return;
        m_next += count;
        if (size_t(m_next) > m_costs.size()) m_costs.resize(size_t(m_next), least);
    }
    // The type waits for want of visits.
    void Waited(const CPlace& type) {
        if (!m_firstStep) return;
        int64_t& first = type.beforeTurn ? m_wrapWaited : m_firstWaited;
        if (first < 0) first = type.place;
    }
    int64_t GetTurn() const { return m_turn; }
    // What the types from the turn to the last cost at their last look: held
    // back while the types before the turn are taken.
    int64_t GetRoundRest() const { return m_roundRest; }

    // The emitter whose types come next: where they begin.
    CRun StartRun() const { return m_firstStep ? CRun{m_next, m_frame} : CRun{}; }
    // An emitter's `count` types, placed at `run`, are let go.
    void Leave(const CRun& run, int64_t count) {
        if (run.first < 0 || count <= 0) return;
        if (run.frame == m_frame) {
            // Placed in this frame's first step: the next frame's turn and
            // count are taken from it.
            if (m_firstWaited >= 0) m_firstWaited = AfterLeaving(m_firstWaited, run, count);
            if (m_wrapWaited >= 0) m_wrapWaited = AfterLeaving(m_wrapWaited, run, count);
            m_keptResume = AfterLeaving(m_keptResume, run, count);
            m_left += count;
            ForgetCosts(run, count);
        } else if (run.frame + 1 == m_frame && m_firstStep && m_next <= m_turn) {
            // Not yet placed in this frame's first step, whose turn is still
            // to come: the places after them move up now.
            m_types -= count;
            m_turn = AfterLeaving(m_turn, run, count);
            m_resume = std::min(AfterLeaving(m_resume, run, count), m_turn);
            if (m_turn >= m_types) m_turn = m_resume = 0;
            m_keptResume = m_resume;
            m_hadRoundEnd = m_resume < m_turn;
            ForgetCosts(run, count);
            m_roundRest = RestFrom(m_turn);
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
        if (!m_firstStep) return;
        m_placed = m_next;
        m_costs.resize(size_t(m_next));
    }
    void ForgetCosts(const CRun& run, int64_t count) {
        const auto begin = m_costs.begin() + std::min<int64_t>(run.first, int64_t(m_costs.size()));
        m_costs.erase(begin, begin + std::min<int64_t>(count, m_costs.end() - begin));
    }
    int64_t RestFrom(int64_t place) const {
        if (place <= 0 || size_t(place) >= m_costs.size()) return 0;
        return std::accumulate(m_costs.begin() + place, m_costs.end(), int64_t(0));
    }

    int64_t m_turn = 0;
    // Where the types before the turn may be taken from, that place as the
    // next frame counts it, and whether the frame has types to take before
    // the turn.
    int64_t m_resume = 0;
    int64_t m_keptResume = 0;
    bool m_hadRoundEnd = false;
    // The first type that waited from the turn on, and before it.
    int64_t m_firstWaited = -1;
    int64_t m_wrapWaited = -1;
    int64_t m_next = 0;
    // Types placed in the frame's first step, those of them let go since,
    // and the types the frame's turn counts among.
    int64_t m_placed = 0;
    int64_t m_left = 0;
    int64_t m_types = 0;
    int64_t m_roundRest = 0;
    // What each place's type was expected to cost at its last first step.
    std::vector<int64_t> m_costs;
    uint64_t m_frame = 0;
    bool m_firstStep = true;
};

} // namespace VexaParticles
