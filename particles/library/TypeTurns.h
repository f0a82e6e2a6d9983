#pragma once
// Which particle types take the frame's first step when the frame's visits
// do not pay for every type. Types are told apart by their place in the step
// (the order the frame loop steps them in), never by pointers.
//
// Each frame plans its first step from what each type was expected to cost
// at its last look: first the types planned before that did not step (owed),
// then types taken round, while the frame's visits pay for them (owed types
// they do not pay for stay owed). The round is an order of every type that
// is kept while places move, and goes on each frame from where the last
// stopped: types seen for the first time come next in it, in bit-reversed
// order of their places, so that a run of it is spread evenly over every
// effect's types. A frame always plans at least one type (its turn). So
// every type steps once a round: a type waits at most one frame more than
// the visits of one step of every type take. Types the last frame did not
// see (an emitter added) are not planned.
//
// An emitter let go takes its types' places with it (the types after them
// move up); the places of the first step in hand move at its end. Places
// let go are dropped together before the places are next read, so that
// letting go of many emitters at once walks the places once.

#include "particles/library/ChunkedList.h"
#include "particles/library/LivePlaces.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VexaParticles {

class CTypeTurns {
public:
    // Where a type of the step stands.
    struct CPlace {
        int64_t place = 0;
        bool firstStep = false;
        bool planned = false;  // in the first step: the plan takes it
        bool known = false;    // in the first step: seen by the last frame, so planned or not
        bool isTurn = false;   // in the first step: the plan's first type
        bool owed = false;     // in the first step: planned before and not taken
    };
    // Where an emitter's types began in a frame's first step; `first` is -1
    // for an emitter not placed in one.
    struct CRun {
        int64_t first = -1;
        uint64_t frame = 0;
    };

    // A frame starts whose first step may spend `visits` on the types;
    // without a limit every type is taken and nothing is planned.
    void StartFrame(int64_t visits, bool limited);
    // A later step of the frame: every type may take it, in order.
    void StartLaterStep();
    // The next type, which is expected to cost `expected` visits.
    CPlace NextType(int64_t expected);
    // The type is taken.
    void Took(const CPlace& type);
    // `count` types wait the step unasked: in the first step they keep their
    // places, and a place not yet seen is expected to cost `least`.
    void Pass(int64_t count, int64_t least);
    // The place of the frame's turn (0 when nothing is planned).
    int64_t GetTurn() const { return m_turn; }
    // What the plan holds for the types owed since the last frame.
    int64_t GetOwedCost() const { return m_owedCost; }
    // What the plan holds for the planned types the first step has not
    // reached yet (0 in a later step).
    int64_t GetPlanLeft() const { return m_planLeft; }
    // How many types the frame's first step planned.
    int64_t GetPlanned() const;

    // The emitter whose types come next: where they begin.
    CRun StartRun() const { return m_firstStep ? CRun{m_next, m_frame} : CRun{}; }
    // An emitter's `count` types, placed at `run`, are let go.
    void Leave(const CRun& run, int64_t count);

private:
    struct CSlot {
        int64_t cost = 0;
        uint64_t planned = 0;  // the frame that planned it last
        uint64_t taken = 0;    // the frame whose first step took it last
        uint64_t owed = 0;     // the frame whose owed places hold it
    };
    struct CLeft {
        int64_t first, count;
    };

    void EndFirstStep();
    // The round holds every place there is: places added join its end.
    void Order();
    void PlanOwed(int64_t visits);
    void Plan(int64_t visits);
    void PlanAll();
    void PlanPlace(int64_t place);
    // The places of `count` types from `first` are gone: those after move up.
    void Erase(int64_t first, int64_t count);
    // Drops the places let go from the places held.
    void Drop();

    CChunkedList<CSlot> m_slots;
    // Every place, in the round's order; the round goes on from m_front.
    std::vector<int64_t> m_order;
    size_t m_front = 0;
    // The places the frame's first step planned, those owed first.
    std::vector<int64_t> m_plan;
    // Owed places the frame's visits did not plan, owed still.
    std::vector<int64_t> m_owed;
    std::vector<CLeft> m_leaving;
    // The places of frame m_erasedFrame's first step, those let go since it
    // ended marked, by which a run placed in it finds its places now.
    CLivePlaces m_erased;
    // The places m_slots, m_order, m_plan and m_owed hold, those let go
    // marked until dropped (m_dropping).
    CLivePlaces m_held;
    bool m_dropping = false;
    uint64_t m_erasedFrame = 0;
    int64_t m_turn = 0;
    int64_t m_known = 0;
    int64_t m_owedCost = 0;
    int64_t m_plannedCost = 0;
    int64_t m_planLeft = 0;
    int64_t m_next = 0;
    uint64_t m_frame = 0;
    bool m_firstStep = true;
    bool m_placed = false;
};

} // namespace VexaParticles
