#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/PackNameIndex.h"

using Engine::CPackNameIndex;

namespace {

// How the keys' hashes fall: as they come, all alike (every probe compares
// keys and walks the whole run), or alike in their slot bits only.
enum class EHashes { Own, AllAlike, SlotAlike };

struct IndexCase { const char* name; size_t room; EHashes hashes; };

// Hashes as they come are tried over every room below.
const IndexCase kCases[] = {
    {"AllAlike", 300, EHashes::AllAlike},
    {"SlotAlike", 300, EHashes::SlotAlike},
};

class PackNameIndexTest : public ::testing::TestWithParam<IndexCase> {
protected:
    size_t HashOf(const std::string& key) const {
        switch (GetParam().hashes) {
        case EHashes::AllAlike: return 42;
        case EHashes::SlotAlike: return size_t(CPackNameIndex::Hash(key) | 0xFFFFFFFFull) ^ 0xFFFFFFFFull;
        default: return CPackNameIndex::Hash(key);
        }
    }
    // Keys are compared as the pack compares them: by the number's own key.
    auto HasKey(const std::string& key) {
        return [this, key](uint32_t number) { return m_keys[number] == key; };
    }
    bool Insert(const std::string& key, uint32_t number) { return m_index.Insert(HashOf(key), number, HasKey(key)); }
    const uint32_t* Find(const std::string& key) { return m_index.Find(HashOf(key), HasKey(key)); }

    CPackNameIndex m_index;
    std::vector<std::string> m_keys;
};

} // namespace

TEST_P(PackNameIndexTest, EachKeyFindsItsFirstNumberAndNoOther) {
    const size_t room = GetParam().room;
    m_index.Reset(room);
    for (size_t i = 0; i < room; ++i) {
        m_keys.push_back("key" + std::to_string(i));
        ASSERT_TRUE(Insert(m_keys[i], uint32_t(i))) << i;
    }
    EXPECT_EQ(m_index.GetCount(), room);
    for (size_t i = 0; i < room; ++i) {
        EXPECT_FALSE(Insert(m_keys[i], uint32_t(room + i))) << "a repeated key replaced the first";
        const uint32_t* found = Find(m_keys[i]);
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(*found, i);
        EXPECT_EQ(Find("other" + std::to_string(i)), nullptr);
    }
    EXPECT_EQ(Find("missing"), nullptr);
    m_keys.push_back("one too many");
    EXPECT_THROW(Insert(m_keys.back(), uint32_t(room)), std::length_error);
}

// Keys are compared only when their hashes agree in the tag, not merely in
// the slot they start from.
TEST(PackNameIndexTagTest, KeysOfOtherTagsAreNeverCompared) {
    CPackNameIndex index;
    index.Reset(64);
    size_t compared = 0;
    const auto countCompared = [&](uint32_t) { return ++compared, false; };
    for (uint32_t i = 0; i < 64; ++i) ASSERT_TRUE(index.Insert(size_t(i) << 32, i, countCompared));
    EXPECT_EQ(index.Find(size_t(64) << 32, countCompared), nullptr);
    EXPECT_EQ(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, PackNameIndexTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every room up to past a thousand, across each doubling of the table: the
// room is held in full, a repeated key keeps its first number, and a missing
// key's probe still meets a free slot.
TEST(PackNameIndexRoomTest, EveryRoomHoldsItsCountAndEveryProbeEnds) {
    std::vector<std::string> keys;
    for (size_t i = 0; i <= 1100; ++i) keys.push_back("key" + std::to_string(i));
    const auto hasKey = [&](const std::string& key) { return [&](uint32_t number) { return keys[number] == key; }; };
    const auto hash = [](const std::string& key) { return CPackNameIndex::Hash(key); };
    CPackNameIndex index;
    for (size_t room = 0; room < keys.size(); ++room) {
        index.Reset(room);
        for (size_t i = 0; i < room; ++i) ASSERT_TRUE(index.Insert(hash(keys[i]), uint32_t(i), hasKey(keys[i]))) << room;
        EXPECT_EQ(index.GetCount(), room);
        for (size_t i = 0; i < room; ++i) {
            EXPECT_FALSE(index.Insert(hash(keys[i]), uint32_t(room), hasKey(keys[i]))) << room;
            const uint32_t* found = index.Find(hash(keys[i]), hasKey(keys[i]));
            ASSERT_NE(found, nullptr) << room << ' ' << i;
            EXPECT_EQ(*found, i);
        }
        const std::string missing = "missing";
        EXPECT_EQ(index.Find(hash(missing), hasKey(missing)), nullptr) << room;
        EXPECT_THROW(index.Insert(hash(keys[room]), uint32_t(room), hasKey(keys[room])), std::length_error) << room;
    }
}
