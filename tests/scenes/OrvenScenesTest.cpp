// The generated classes of the orven animations and the map: each drives its
// scene exactly as the generic reflective update drives the same scene whose
// constant components are key tables of the constant, ignores the file's
// key data where it writes a constant, and leaves everything else as loaded.

#include <gtest/gtest.h>

#include <map>

#include "placefile/PlaceSpriteObject.h"
#include "scene/controllers/Vector2Controller.h"
#include "scene/controllers/Vector4Controller.h"
#include "scenes/SceneRegistration.h"
#include "tests/placefile/AnimatedScene.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tools/sceneplaces/ScenePlace.h"

using namespace PlaceTest;
using Engine::Scene::CAnimatable;

namespace {

// Everything an animated sprite can change, and the held values of its
// vector controllers that a class may set.
std::vector<float> Fields(CPlaceFile& place, size_t object) {
    auto& sprite = dynamic_cast<CPlaceSpriteObject&>(*place.FindObjectByID(Tools::SceneObjectId(object)));
    std::vector<float> fields = {sprite.Angle,         float(sprite.Width),    float(sprite.Height),
                                 sprite.Position.x,    sprite.Position.y,      sprite.Zoom.x,
                                 sprite.Zoom.y,        sprite.SpriteOffset.x,  sprite.SpriteOffset.y,
                                 sprite.SpriteTile.x,  sprite.SpriteTile.y};
    for (int shift = 0; shift < 32; shift += 8) fields.push_back(float((sprite.Color >> shift) & 0xFF));
    const CAnimatable::Ref node = place.GetScene()->GetSubAnim(int(object));
    for (int property : {1, 2, 3, 4, 6}) {
        const CAnimatable::Ref controller = node->GetSubAnim(property);
        if (auto* pair = dynamic_cast<Engine::Scene::CVector2Controller*>(controller.get()))
            fields.insert(fields.end(), {pair->GetX(), pair->GetY()});
        else if (auto* four = dynamic_cast<Engine::Scene::CVector4Controller*>(controller.get()))
            fields.insert(fields.end(), {four->GetX(), four->GetY(), four->GetZ(), four->GetW()});
    }
    return fields;
}
constexpr size_t kTileFields[] = {9, 10};  // SpriteTile: animated by the file, set by no class

// The reference count of every node of the tree.
void CountReferences(const CAnimatable* node, std::vector<int32_t>& counts) {
    counts.push_back(node->GetRefCount());
    for (int i = 0; i < node->GetSubAnimCount(); ++i)
        if (const CAnimatable::Ref sub = node->GetSubAnim(i)) CountReferences(sub.get(), counts);
}

class OrvenSceneTest : public PlaceFileFixture, public testing::WithParamInterface<Tools::CSceneRecipe> {
protected:
    OrvenSceneTest() {
        RegisterAnimatedSceneTypes();
        static const Engine::CStartupRegistration s_scenes{Engine::Scenes::GetStartupHooks()};
        g_bUseGeneratedSceneClasses = true;
    }
    ~OrvenSceneTest() override { g_bUseGeneratedSceneClasses = false; }

    ref_ptr<CPlaceFile> Load(const std::string& path, Tools::ELiteralKeys literals) {
        Write(path, Tools::WritePlace(Tools::MakeScenePlace(GetParam(), literals)));
        return local->GetPlaceFile(path.c_str());
    }
    std::vector<std::vector<float>> AllFields(CPlaceFile& place) {
        std::vector<std::vector<float>> all;
        for (size_t i = 0; i < GetParam().objects.size(); ++i) all.push_back(Fields(place, i));
        return all;
    }
};

TEST_P(OrvenSceneTest, TheClassDoesWhatTheGenericUpdateDoes) {
    const std::string& path = GetParam().path;
    const ref_ptr<CPlaceFile> generated = Load(path, Tools::ELiteralKeys::Contrary);
    ASSERT_NE(generated->GetGeneratedClass(), nullptr);
    EXPECT_TRUE(log.Contains("Assigning generated class for '" + path + "' : OK\n")) << log.Text();
    const ref_ptr<CPlaceFile> generic = Load("place/generic.place", Tools::ELiteralKeys::OneKey);
    ASSERT_EQ(generic->GetGeneratedClass(), nullptr);

    const bool empty = path == "place/orven_init.place";
    const auto loaded = AllFields(*generated);
    std::vector<int32_t> before, after;
    CountReferences(generated->GetScene().get(), before);
    // Inside the keys, before the first, after the last, repeated, backwards.
    for (double t : {1.5, 3.25, 0.5, 6.0, 6.0, 2.0, 9.75}) {
        SCOPED_TRACE(t);
        generated->SetTime(t);
        generic->SetTime(t);
        const auto fields = AllFields(*generated), expected = AllFields(*generic);
        for (size_t i = 0; i < fields.size(); ++i) {
            SCOPED_TRACE(i);
            std::vector<float> want = empty ? loaded[i] : expected[i];
            for (size_t tile : kTileFields) want[tile] = loaded[i][tile];
            EXPECT_EQ(fields[i], want);
        }
    }
    CountReferences(generated->GetScene().get(), after);
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Classes, OrvenSceneTest, testing::ValuesIn(Tools::OrvenAndMapSceneRecipes()),
                         [](const auto& info) {
                             std::string name = info.param.path.substr(6, info.param.path.size() - 12);
                             return name;
                         });

} // namespace
