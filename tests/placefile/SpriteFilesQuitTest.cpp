// A quit found while a place file loads its many sprite files: each file
// counts as loading work (also one that holds nothing or was loaded
// already), so the load stops within an interval of work after the quit was
// posted, and nothing of it stays behind: no place file, sprite file,
// texture or device object, and no failure in the log.

#include <gtest/gtest.h>

#include <string>

#include "tests/app/QuitLook.h"
#include "tests/placefile/PlaceFileFixture.h"

using namespace PlaceTest;
using Engine::CFrameQuitWatch;

namespace {

constexpr char kPlace[] = "place/files.place";

struct CSpriteFilesCase {
    const char* name;
    int files;      // sprite-file entries of the place file
    bool distinct;  // each its own one-image file, else all one empty file
};

std::ostream& operator<<(std::ostream& out, const CSpriteFilesCase& c) { return out << c.name; }

class SpriteFilesQuitTest : public PlaceFileFixture, public testing::WithParamInterface<CSpriteFilesCase> {
protected:
    void WritePlace(const CSpriteFilesCase& c) {
        Tools::CPlaceDocument doc;
        Tools::CPlaceLayerDoc layer;
        Write("spr/nothing.spr", Tools::WriteSpr(Tools::CSprDocument{}));
        for (int i = 0; i < c.files; ++i) {
            if (!c.distinct) {
                doc.spriteFiles.push_back({"spr/nothing.spr", {}});
                continue;
            }
            const std::string name = "spr/own/" + std::to_string(i) + ".spr";
            Write(name, Tools::WriteSpr(SprTestData::StripDocument("s", {1}, 1)));
            doc.spriteFiles.push_back({name, {{uint32_t(1 + i), "s"}}});
            Tools::CPlaceObjectDoc object;
            object.id = uint32_t(1 + i);
            object.width = object.height = 1;
            object.spriteId = int32_t(1 + i);
            layer.objects.push_back(object);
        }
        doc.layers = {layer};
        Write(kPlace, Tools::WritePlace(doc));
    }

    TestFiles::CQuitLook look;
};

TEST_P(SpriteFilesQuitTest, StopsWithinAnIntervalAndLeavesNothingBehind) {
    WritePlace(GetParam());
    const size_t deviceObjects = graphics->GetDeviceObjectManager().GetCount();
    look.Run([this] { return graphics->GetSprFileManager()->GetObjectCount() > 0; },
             [this] { local->GetPlaceFile(kPlace); });
    look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);

    EXPECT_TRUE(local->GetUses().empty());
    EXPECT_FALSE(Manager().LookupObject(kPlace)) << "no half-read place file";
    EXPECT_EQ(graphics->GetSprFileManager()->GetObjectCount(), 0u) << "its sprite files are let go of";
    EXPECT_TRUE(graphics->GetTextureManager()->GetEntries().empty()) << "with their textures";
    EXPECT_EQ(graphics->GetDeviceObjectManager().GetCount(), deviceObjects);
    for (const char* failure : {"Invalid", "FAILED", "Unable", "skipped", "corrupted"})
        EXPECT_FALSE(log.Contains(failure)) << log.Text();
}

// Far more work than an interval in the sprite files alone: a one-image
// file counts six units, an empty one one.
INSTANTIATE_TEST_SUITE_P(Files, SpriteFilesQuitTest,
                         testing::Values(CSpriteFilesCase{"OwnImageFiles", 2000, true},
                                         CSpriteFilesCase{"OneEmptyFileNamedOften",
                                                          3 * int(CFrameQuitWatch::kCheckInterval), false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
