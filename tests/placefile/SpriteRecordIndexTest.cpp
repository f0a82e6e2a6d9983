// The sprite library's records by ID: the match is the last record with the
// ID over the files in order, as a walk of every record keeps it.

#include <gtest/gtest.h>

#include "placefile/SpriteRecordIndex.h"

using namespace Engine::Graphics::PlaceFile;

namespace {

using CFiles = std::vector<CPlaceFile::CSpriteFileEntry>;

CSpriteRecordIndex::CMatch Walk(const CFiles& files, uint32_t id) {
    CSpriteRecordIndex::CMatch match;
    for (const CPlaceFile::CSpriteFileEntry& file : files)
        for (const CPlaceFile::CSpriteRecord& record : file.records)
            if (record.id == id) match = {&record, &file};
    return match;
}

struct CRecordCase {
    const char* name;
    std::vector<std::vector<uint32_t>> ids;  // per file
};

class SpriteRecordIndex : public testing::TestWithParam<CRecordCase> {};

TEST_P(SpriteRecordIndex, MatchIsTheWalksLast) {
    CFiles files;
    for (const std::vector<uint32_t>& ids : GetParam().ids) {
        CPlaceFile::CSpriteFileEntry& file = files.emplace_back();
        for (const uint32_t id : ids) file.records.push_back({id, CString("r")});
    }
    const CSpriteRecordIndex index(files);
    for (uint32_t id = 0; id <= 6; ++id) {
        const CSpriteRecordIndex::CMatch expected = Walk(files, id), found = index.Find(id);
        EXPECT_EQ(found.record, expected.record) << id;
        EXPECT_EQ(found.file, expected.file) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Libraries, SpriteRecordIndex,
                         testing::Values(CRecordCase{"Unique", {{1, 2}, {3}}},
                                         CRecordCase{"RepeatedInOneFile", {{2, 1, 2, 2}}},
                                         CRecordCase{"LaterFileWins", {{4, 5}, {}, {5, 4}, {6}}},
                                         CRecordCase{"NoRecords", {{}, {}}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
