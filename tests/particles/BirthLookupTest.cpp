// What a birth looks up, against the walks it replaced: the mesh picked for
// every draw of random weight lists, and the sub-emitter copies a birth and
// a death attach, in file order and within the record cap.

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "ParticleTestSupport.h"

namespace VexaTest {
namespace {

// The pick as it walked every entry.
size_t WalkedPick(const std::vector<int32_t>& w, uint32_t draw) {
    int64_t total = 0, positive = 0;
    for (int32_t x : w) total += x, positive += std::max(x, 0);
    const bool asIs = total > 0 && total <= INT32_MAX;
    if (!asIs && (total == 0 || positive == 0)) return draw % w.size();
    int64_t r = asIs ? int64_t(draw % uint64_t(total)) : int64_t((unsigned __int128)draw * uint64_t(positive) >> 32);
    for (size_t i = 0; i < w.size(); r -= asIs ? w[i] : std::max(w[i], 0), ++i)
        if (r < (asIs ? w[i] : std::max(w[i], 0))) return i;
    return w.size() - 1;
}

struct CWeightCase {
    int32_t low, high;  // each weight uniform in low..high, a tenth of them 0
    bool zeroTotal;     // the last weight brings the total to 0
};

class MeshPickLookupTest : public ::testing::TestWithParam<CWeightCase> {};

// The read list and a running copy's pick as the walk did, for random lists
// of 2 to 200 entries, random draws, the edge draws and every r of a small total.
TEST_P(MeshPickLookupTest, PicksAsTheWalk) {
    std::mt19937 random(uint32_t(GetParam().low ^ GetParam().high));
    for (int list = 0; list < 40; ++list) {
        std::vector<int32_t> w(std::uniform_int_distribution<size_t>(2, 200)(random));
        int64_t total = 0;
        std::uniform_int_distribution weight(GetParam().low, GetParam().high);
        for (int32_t& x : w) total += x = random() % 10 ? weight(random) : 0;
        if (GetParam().zeroTotal) w.back() = int32_t(w.back() - total);
        Tools::CVexaEmitter description = Tools::MakeVexaEmitter("Meshes");
        for (int32_t x : w) description.types[0].meshes.push_back({0, uint32_t(x), 1.0f, 0});
        CEffect effect(description);
        std::vector<uint32_t> draws{0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        for (uint32_t i = 0; i < 800; ++i) draws.push_back(i < 300 ? i : uint32_t(random()));
        const CMeshReferenceList& read = effect.file->GetEmitter(0)->GetParticleType(0).meshes;
        for (uint32_t draw : draws) {
            ASSERT_EQ(read.PickIndex(draw), WalkedPick(w, draw)) << draw;
            ASSERT_EQ(effect.Type().meshes.PickIndex(draw), WalkedPick(w, draw)) << draw;
        }
    }
}

// Positive, zeros only, negatives in a positive total, a negative total, a
// total of 0, totals around 2^31 - 1, beyond it, and the whole range.
INSTANTIATE_TEST_SUITE_P(Weights, MeshPickLookupTest,
                         ::testing::Values(CWeightCase{1, 100, false}, CWeightCase{0, 0, false},
                                           CWeightCase{-40, 100, false}, CWeightCase{-100, 20, false},
                                           CWeightCase{-100, 100, true}, CWeightCase{0, INT32_MAX / 64, false},
                                           CWeightCase{INT32_MAX / 2, INT32_MAX, false},
                                           CWeightCase{INT32_MIN, INT32_MAX, false}));

class SubEmitterAttachTest : public ::testing::TestWithParam<uint32_t> {};

// One particle born at 0 and dying at 1 s, a random mix of birth- and
// death-start prototypes, and room in the cap for a random number of copies.
TEST_P(SubEmitterAttachTest, AttachesInFileOrderWithinTheCap) {
    std::mt19937 random(GetParam());
    const size_t count = 1 + random() % 40, room = random() % (count + 2);
    Tools::CVexaEmitter description = QuietEmitter();
    description.types[0].flags = CVexaParticleType::kOneShotBurst;
    description.types[0].burstCount = 1;
    std::array<std::vector<std::string>, 2> starting;
    for (size_t i = 0; i < count; ++i) {
        Tools::CVexaEmitter& sub =
            description.types[0].subEmitters.emplace_back(Tools::MakeVexaEmitter(std::to_string(i).c_str()));
        sub.types.clear();
        sub.subEmitterStart = random() % 2;
        starting[sub.subEmitterStart].push_back(sub.name);
    }
    CEffect effect(description);
    struct CCapGuard {
        ~CCapGuard() { SetParticleRecordCap(0); }
    } guard;
    SetParticleRecordCap(GetParticleRecordCount() - GetFreeParticleCount() + 1 + room * kSubEmitterCopyUnits);
    std::vector<std::string> expected;
    for (int atDeath = 0; atDeath < 2; ++atDeath) {
        const size_t taken = std::min(room - expected.size(), starting[atDeath].size());
        expected.insert(expected.end(), starting[atDeath].begin(), starting[atDeath].begin() + taken);
        effect.emitter->Update(atDeath ? 1.05f : 0.0f, 0.05f, 0, 0, 0, 1);
        ASSERT_NE(effect.Type().head, nullptr);
        std::vector<std::string> attached;
        for (const CSubEmitterEntry& sub : effect.Type().head->subEmitters)
            attached.push_back(sub.emitter->GetPrototype()->GetName());
        EXPECT_EQ(attached, expected) << (atDeath ? "death" : "birth");
    }
}

INSTANTIATE_TEST_SUITE_P(Mixes, SubEmitterAttachTest, ::testing::Range(1u, 41u));

} // namespace
} // namespace VexaTest
