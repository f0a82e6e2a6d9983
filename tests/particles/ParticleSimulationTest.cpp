// Emission, life and death of particles, and the same run from the same seed.

#include <gtest/gtest.h>

#include "ParticleTestSupport.h"
#include "app/ProcessEnd.h"
#include "app/SanitizerBuild.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/ParticleSimulation.h"

namespace VexaTest {
namespace {

struct CEmissionCase {
    std::vector<uint32_t> emitting;  // one update of 0.25 s each
    std::vector<int32_t> live;       // the live count after each
};

class ParticleEmissionTest : public ::testing::TestWithParam<CEmissionCase> {};

// 10 particles a second in steps of 0.25 s: 2.5 a step, the fraction carried.
TEST_P(ParticleEmissionTest, CarriesTheRemainderWhetherEmittingOrNot) {
    SeedParticleRandom(1);
    CEffect effect(QuietEmitter());
    for (size_t i = 0; i < GetParam().emitting.size(); ++i) {
        effect.emitter->Update(0.25f * float(i), 0.25f, 0, 0, 0, GetParam().emitting[i]);
        EXPECT_EQ(effect.Type().liveCount, GetParam().live[i]) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ParticleEmissionTest,
                         ::testing::Values(CEmissionCase{{1, 1, 1, 1}, {2, 5, 7, 10}},
                                           CEmissionCase{{0, 0, 0, 1}, {0, 0, 0, 3}}));

TEST(ParticleSimulationTest, ABurstIsUsedUpByItsFirstEnabledUpdateUntilReset) {
    Tools::CVexaEmitter description = QuietEmitter();
    description.types[0].flags = 1;
    description.types[0].burstCount = 5;
    CEffect effect(description);
    effect.emitter->Update(0.0f, 0.1f, 0, 0, 0, 0);
    effect.emitter->Update(0.1f, 0.1f, 0, 0, 0, 1);
    EXPECT_EQ(effect.Type().liveCount, 0);
    effect.emitter->Reset();
    effect.emitter->Update(0.2f, 0.1f, 0, 0, 0, 1);
    effect.emitter->Update(0.3f, 0.1f, 0, 0, 0, 1);
    EXPECT_EQ(effect.Type().liveCount, 5);

    const size_t freeBefore = GetFreeParticleCount();
    effect.emitter->Reset();
    EXPECT_EQ(effect.emitter->GetParticleCount(), 0u);
    EXPECT_EQ(GetFreeParticleCount(), freeBefore + 5);
}

struct CStepLimitCase {
    const char* name;
    uint32_t ordered;
    uint32_t placementCount;
    uint32_t twoSided;
    uint32_t burstCount;  // 0: a rate of 10^12 particles a second instead of a burst
    int32_t live;         // after one update of one second
};

class ParticleStepLimitTest : public ::testing::TestWithParam<CStepLimitCase> {};

// Whatever the file's counts ask for, one step makes at most the cap, and a
// placement count doubled by two-sided placement does not wrap.
TEST_P(ParticleStepLimitTest, OneStepMakesAtMostTheCap) {
    const CStepLimitCase& c = GetParam();
    Tools::CVexaEmitter description = QuietEmitter();
    description.shape = 2;
    description.orderedPlacement = c.ordered;
    description.placementCount = c.placementCount;
    description.twoSidedA = description.twoSidedB = c.twoSided;
    Tools::CVexaParticleType& type = description.types[0];
    if (c.burstCount != 0) {
        type.flags = CVexaParticleType::kOneShotBurst;
        type.burstCount = c.burstCount;
    } else {
        SetQ(type, 5, 1e12f);
    }
    CEffect effect(description);
    effect.emitter->Update(0.0f, 1.0f, 0, 0, 0, 1);
    EXPECT_EQ(effect.Type().liveCount, c.live);
}

constexpr int32_t kCap = int32_t(kMaxParticlesPerStep);

INSTANTIATE_TEST_SUITE_P(
    Counts, ParticleStepLimitTest,
    ::testing::Values(CStepLimitCase{"Ordinary", 1, 12, 1, 3, 72},
                      CStepLimitCase{"PlacementCount200000", 1, 200000, 0, 1, kCap},
                      CStepLimitCase{"BothCountsAtTheTop", 1, 0x7FFFFFFF, 1, 0x7FFFFFFF, kCap},
                      CStepLimitCase{"TwoSidedCountOf2To31", 1, 0x80000000, 1, 1, kCap},
                      CStepLimitCase{"RateBeyondTheCap", 0, 0x7FFFFFFF, 1, 0, kCap},
                      CStepLimitCase{"OrderedWithoutPlaces", 1, 0, 1, 0x7FFFFFFF, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Particles that never die pile up until the process-wide pool is out of
// records; emission then stops and resumes once records come back.
TEST(ParticleSimulationTest, LiveParticlesStopAtThePoolsSize) {
    Tools::CVexaEmitter description = QuietEmitter();
    description.types[0].flags = CVexaParticleType::kNeverDie;
    SetQ(description.types[0], 5, 1e12f);
    CEffect effect(description);
    const size_t inUse = GetParticleRecordCount() - GetFreeParticleCount();
    const int32_t room = int32_t(kMaxParticleRecords - inUse);
    for (int step = 0; step < 6; ++step) effect.emitter->Update(float(step), 1.0f, 0, 0, 0, 1);
    EXPECT_EQ(effect.Type().liveCount, room);
    EXPECT_EQ(GetParticleRecordCount(), kMaxParticleRecords);
    EXPECT_EQ(GetFreeParticleCount(), 0u);

    effect.emitter->Reset();
    effect.emitter->Update(6.0f, 1.0f, 0, 0, 0, 1);
    EXPECT_EQ(effect.Type().liveCount, kCap);
    EXPECT_EQ(GetParticleRecordCount(), kMaxParticleRecords);
}

// Every particle, at every level, never dies and starts a sub-emitter at
// its birth: copies would multiply without end. Records in use and attached
// copies together reach the cap and stay within it, and all go back with
// the effect.
TEST(ParticleSimulationTest, SubEmitterCopiesShareTheRecordCap) {
    constexpr size_t kTestCap = 3000;
    struct CCapGuard {
        CCapGuard() { SetParticleRecordCap(kTestCap); }
        ~CCapGuard() { SetParticleRecordCap(0); }
    } guard;
    const auto unitsInUse = [] {
        return GetParticleRecordCount() - GetFreeParticleCount() + GetSubEmitterCopyCount() * kSubEmitterCopyUnits;
    };
    const size_t before = unitsInUse();
    Tools::CVexaEmitter level = QuietEmitter("Leaf");
    level.types[0].flags = CVexaParticleType::kNeverDie;
    for (const char* name : {"Middle", "Top"}) {
        Tools::CVexaEmitter parent = QuietEmitter(name);
        parent.types[0].flags = CVexaParticleType::kNeverDie;
        SetQ(parent.types[0], 5, 200.0f);
        parent.types[0].subEmitters = {level};
        level = parent;
    }
    size_t most = 0;
    {
        CEffect effect(level);
        for (int step = 0; step < 200; ++step) {
            effect.emitter->Update(0.05f * float(step), 0.05f, 0, 0, 0, 1);
            const size_t used = unitsInUse();
            ASSERT_LE(used, kTestCap) << "step " << step;
            most = std::max(most, used);
        }
        EXPECT_GT(GetSubEmitterCopyCount(), 0u);
    }
    EXPECT_EQ(most, kTestCap);
    EXPECT_EQ(unitsInUse(), before);
    EXPECT_EQ(GetSubEmitterCopyCount(), 0u);
}

// A parent type making one particle at its first step, whose particle
// carries from its birth a copy of `copyTypes` particle types that make
// nothing (or, with `copyTypes` of 0 and `withCopy` false, no copy).
Tools::CVexaEmitter ParentOfCopy(int copyTypes, bool withCopy = true) {
    Tools::CVexaEmitter description = QuietEmitter("Parent");
    description.types[0].flags = CVexaParticleType::kOneShotBurst;
    description.types[0].burstCount = 1;
    if (!withCopy) return description;
    Tools::CVexaEmitter copy = QuietEmitter("Copy");
    SetQ(copy.types[0], 5, 0.0f);
    copy.types.assign(size_t(copyTypes), copy.types[0]);
    description.types[0].subEmitters = {copy};
    return description;
}

// The frame's visits of moving and aging the parent's particle once.
int64_t VisitsOfAStep(CEffect& effect) {
    effect.emitter->Update(0.0f, 0.05f, 0, 0, 0, 1);
    CParticleWorkBudget& budget = effect.library.GetWorkBudget();
    budget.StartFrame(CParticleWorkBudget::kUnlimited);
    budget.StartStep();
    effect.emitter->Move(0.05f, 0.05f);
    effect.emitter->Update(0.05f, 0.05f, 0, 0, 0, 1);
    return budget.GetFrameVisits();
}

class SubEmitterCopyUnitsTest : public ::testing::TestWithParam<int> {};

// A copy takes eight units of the pool's cap for each of its types, and at
// least eight: with room for its particle and that many, the copy is made,
// with a unit less it is not. Moving and aging its particle count as many
// visits more than the same particle without it.
TEST_P(SubEmitterCopyUnitsTest, TakesEightUnitsAndVisitsForEachType) {
    const int types = GetParam();
    const size_t copyUnits = 8 * size_t(std::max(types, 1));
    struct CCapGuard {
        ~CCapGuard() { SetParticleRecordCap(0); }
    } guard;
    ASSERT_EQ(GetSubEmitterCopyCount(), 0u);
    for (size_t less : {0, 1}) {
        CEffect effect(ParentOfCopy(types));
        SetParticleRecordCap(GetParticleRecordCount() - GetFreeParticleCount() + 1 + copyUnits - less);
        effect.emitter->Update(0.0f, 0.05f, 0, 0, 0, 1);
        ASSERT_EQ(effect.Type().liveCount, 1);
        EXPECT_EQ(effect.Type().head->subEmitters.size(), 1 - less) << "room for " << copyUnits - less;
        SetParticleRecordCap(0);
    }
    CEffect carrying(ParentOfCopy(types)), bare(ParentOfCopy(types, false));
    EXPECT_EQ(VisitsOfAStep(carrying) - VisitsOfAStep(bare), 2 * int64_t(copyUnits));
}

INSTANTIATE_TEST_SUITE_P(Types, SubEmitterCopyUnitsTest, ::testing::Values(0, 1, 2, 5, 40));

class LeftEmitterTest : public ::testing::TestWithParam<bool> {
protected:
    void TearDown() override { Engine::CProcessEnd::Allow(false); }
};

// An emitter let go at the program's end may leave its memory to the
// process's end, its particles' records and copies with it; its library,
// let go after it, writes off what it held, so that a process that goes on
// has the pool's whole cap again.
TEST_P(LeftEmitterTest, ItsLibraryWritesOffTheRecordsAndCopiesItHeld) {
    const size_t units = GetParticleUnitsInUse(), copies = GetSubEmitterCopyCount();
    const size_t records = GetParticleRecordCount() - GetFreeParticleCount();
    const size_t held = 1 + 3 * kSubEmitterCopyUnits;
    auto effect = std::make_unique<CEffect>(ParentOfCopy(3));
    effect->emitter->Update(0.0f, 0.05f, 0, 0, 0, 1);
    ASSERT_EQ(GetParticleUnitsInUse(), units + held);
    ASSERT_EQ(GetSubEmitterCopyCount(), copies + 1);
    Engine::CProcessEnd::Allow(GetParam());
    Engine::CProcessEnd::Begin();
    effect->emitter.reset();
    const bool left = GetParam() && !Engine::kAddressSanitizerBuild;
    EXPECT_EQ(GetParticleUnitsInUse(), units + (left ? held : 0)) << "left with the emitter";
    Engine::CProcessEnd::Allow(false);
    effect.reset();
    EXPECT_EQ(GetParticleUnitsInUse(), units);
    EXPECT_EQ(GetSubEmitterCopyCount(), copies);
    EXPECT_EQ(GetParticleRecordCount() - GetFreeParticleCount(), records);
}

INSTANTIATE_TEST_SUITE_P(Ending, LeftEmitterTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MemoryLeft" : "FullTeardown"; });

// Never-dying parents, each carrying from its birth a copy of 40 types that
// each make one never-dying particle: records in use and eight units for
// each copy's type reach the cap and stay within it, and all go back with
// the effect.
TEST(ParticleSimulationTest, ManyTypeCopiesStayWithinTheRecordCap) {
    constexpr int kCopyTypes = 40;
    constexpr size_t kRoom = 3000;
    ASSERT_EQ(GetSubEmitterCopyCount(), 0u);
    const auto recordsInUse = [] { return GetParticleRecordCount() - GetFreeParticleCount(); };
    const size_t before = recordsInUse();
    struct CCapGuard {
        explicit CCapGuard(size_t cap) { SetParticleRecordCap(cap); }
        ~CCapGuard() { SetParticleRecordCap(0); }
    } guard(before + kRoom);
    Tools::CVexaEmitter copy = QuietEmitter("Copy");
    copy.types[0].flags = CVexaParticleType::kOneShotBurst | CVexaParticleType::kNeverDie;
    copy.types[0].burstCount = 1;
    copy.types.assign(kCopyTypes, copy.types[0]);
    Tools::CVexaEmitter parent = QuietEmitter("Parent");
    parent.types[0].flags = CVexaParticleType::kNeverDie;
    SetQ(parent.types[0], 5, 200.0f);
    parent.types[0].subEmitters = {copy};
    size_t most = 0, copies = 0;
    {
        CEffect effect(parent);
        for (int step = 0; step < 100; ++step) {
            effect.emitter->Update(0.05f * float(step), 0.05f, 0, 0, 0, 1);
            size_t used = recordsInUse() - before;
            copies = 0;
            for (const CParticle* p = effect.Type().head; p; p = p->next)
                for (const CSubEmitterEntry& sub : p->subEmitters) {
                    used += 8 * size_t(sub.emitter->GetParticleTypeCount());
                    ++copies;
                }
            ASSERT_LE(used, kRoom) << "step " << step;
            most = std::max(most, used);
        }
    }
    EXPECT_GT(copies, 0u);
    EXPECT_GT(most + 8 * kCopyTypes, kRoom) << "no further copy fits";
    EXPECT_EQ(recordsInUse(), before);
    EXPECT_EQ(GetSubEmitterCopyCount(), 0u);
}

struct CDeathCase {
    float subEmitterRate;  // particles a second of a sub-emitter started at death
    float time;
    int32_t live;
    int32_t deathPending;
};

class ParticleDeathTest : public ::testing::TestWithParam<CDeathCase> {};

// One particle born at 0 that lives 1 second.
TEST_P(ParticleDeathTest, DiesAtItsLifesEndUnlessASubEmitterKeepsIt) {
    Tools::CVexaEmitter description = QuietEmitter();
    description.types[0].flags = 1;
    description.types[0].burstCount = 1;
    Tools::CVexaEmitter sub = QuietEmitter("Sub");
    sub.subEmitterStart = 1;
    SetQ(sub.types[0], 5, GetParam().subEmitterRate);
    description.types[0].subEmitters = {sub};
    CEffect effect(description);
    for (float t : {0.0f, 0.5f, 1.0f, 1.05f, 1.1f, 1.2f}) {
        if (t > GetParam().time) break;
        effect.emitter->Update(t, 0.05f, 0, 0, 0, 1);
    }
    EXPECT_EQ(effect.Type().liveCount, GetParam().live);
    if (effect.Type().head) {
        EXPECT_EQ(effect.Type().head->deathPending, GetParam().deathPending);
    }
}

INSTANTIATE_TEST_SUITE_P(Times, ParticleDeathTest,
                         ::testing::Values(CDeathCase{0, 0.5f, 1, 1}, CDeathCase{0, 1.0f, 1, 0},
                                           CDeathCase{0, 1.05f, 1, 0}, CDeathCase{0, 1.1f, 0, 0},
                                           CDeathCase{100, 1.2f, 1, 0}));

// Bursts, a sub-emitter on every particle, turbulence, spreads and colour.
Tools::CVexaEmitter BusyEmitter() {
    Tools::CVexaEmitter description = QuietEmitter("Busy");
    description.shape = 2;
    SetC(description, 14, 1.0f);
    SetC(description, 16, 20.0f);
    Tools::CVexaParticleType& stream = description.types[0];
    SetQ(stream, 5, 40.0f);
    SetQ(stream, 10, 0.5f);
    SetQ(stream, 8, 0.2f);
    SetQ(stream, 4, 30.0f);
    SetQ(stream, 12, 0.3f);
    SetQ(stream, 7, 40.0f);
    stream.gradient.keys = {{0, 1, 0.5f, 0, 1}, {1, 0, 0, 1, 0}};
    Tools::CVexaEmitter trail = QuietEmitter("Trail");
    SetQ(trail.types[0], 1, 10.0f);
    stream.subEmitters = {trail};
    Tools::CVexaParticleType burst = QuietEmitter().types[0];
    burst.flags = 1;
    burst.burstCount = 8;
    SetQ(burst, 4, 50.0f);
    description.types.push_back(burst);
    return description;
}

struct CSnapshot {
    uint32_t count = 0;
    std::vector<float> values;  // per type: live count, sums of x and y, the head's colour
};

CSnapshot RunBusyEffect() {
    SeedParticleRandom(12345);
    CEffect effect(BusyEmitter());
    for (int step = 0; step < 30; ++step) {
        const float t = float(step) / 30.0f;
        effect.emitter->Move(t, 1.0f / 30.0f);
        effect.emitter->Update(t, 1.0f / 30.0f, 400, 300, 0, 1);
    }
    CSnapshot snapshot{effect.emitter->GetParticleCount(), {}};
    for (int32_t i = 0; i < effect.emitter->GetParticleTypeCount(); ++i) {
        const CVexaParticleType& type = effect.Type(i);
        float x = 0, y = 0;
        for (const CParticle* p = type.head; p; p = p->next) x += p->position.x, y += p->position.y;
        snapshot.values.insert(snapshot.values.end(), {float(type.liveCount), x, y, type.head->colour1.red,
                                                       type.head->colour1.blue});
    }
    return snapshot;
}

TEST(ParticleSimulationTest, AFixedSeedGivesTheSameParticles) {
    const CSnapshot first = RunBusyEffect();
    const CSnapshot second = RunBusyEffect();
    EXPECT_EQ(first.count, second.count);
    EXPECT_EQ(first.values, second.values);
    const std::vector<float> golden{42, 16757.394f, 12842.5f, 1, 0, 8, 3177.0234f, 2450.9509f, 1, 1};
    EXPECT_EQ(first.count, 140u);
    ASSERT_EQ(first.values.size(), golden.size());
    for (size_t i = 0; i < golden.size(); ++i) EXPECT_NEAR(first.values[i], golden[i], 0.01f) << i;
}

} // namespace
} // namespace VexaTest
