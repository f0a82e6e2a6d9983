#pragma once
// What every generated scene class shares: the statements of an animation
// body. Each statement walks from the scene root afresh by child index,
// evaluates its components in the form fixed for them, stores them into the
// property's controller, reads the controller back and hands the value to
// the animated object's setter, so the setter formulas exist once.
//
// Place files are outside data: a scene whose tree does not have the shape a
// statement expects (a missing child, a null slot, another controller kind,
// an object of another class) makes that statement stop where it is; the
// body goes on with the next one.

#include "placefile/SceneGeneratedClass.h"
#include "scene/SceneRoot.h"

namespace __SceneGeneratedCode {

using Engine::ref_ptr;
using Engine::Graphics::PlaceFile::CSceneGeneratedClass;
using Engine::Scene::CScene;

// How one component's value is found.
enum class EForm {
    Literal,           // the float given; the controller is not visited
    Linear,            // a linear key table at t
    Bezier,            // a Bezier key table at t
    Noise,             // a noise controller at t
    LinearEased,       // a linear key table at the value of its linear ease curve 0 at t
    LinearNoiseEased,  // a linear key table at the value of its noise ease curve 0 at t
};

struct CComponent {
    EForm form;
    float literal = 0.0f;
};

inline constexpr CComponent Linear{EForm::Linear};
inline constexpr CComponent Bezier{EForm::Bezier};
inline constexpr CComponent Noise{EForm::Noise};
inline constexpr CComponent LinearEased{EForm::LinearEased};
inline constexpr CComponent LinearNoiseEased{EForm::LinearNoiseEased};
constexpr CComponent Literal(float value) { return {EForm::Literal, value}; }

// The property indices of the animated objects' reflected properties.
enum EProperty : int {
    PropAngle = 0,
    PropPosition = 1,
    PropSize = 2,
    PropZoom = 3,
    PropColor = 4,
    PropFrame = 5,  // "Time" of a particle object
    PropSpriteOffset = 6,
    PropSpriteTile = 7,
    PropOpacity = 8,
};

// The statements of one call of a body: the scene and its wrapped time.
// Angle to Opacity address animated sprite objects; ParticleTime an
// animated particle object.
class CSceneBody {
public:
    CSceneBody(const ref_ptr<CScene>& scene, double t) : m_scene(scene.get()), m_time(t) {}

    void Angle(int object, CComponent value) const;
    void Position(int object, CComponent x, CComponent y) const;
    void Size(int object, CComponent width, CComponent height) const;
    void Zoom(int object, CComponent x, CComponent y) const;
    void Color(int object, CComponent red, CComponent green, CComponent blue, CComponent alpha) const;
    void Frame(int object, CComponent value) const;
    void SpriteOffset(int object, CComponent x, CComponent y) const;
    void Opacity(int object, CComponent value) const;
    void ParticleTime(int object, CComponent value) const;

private:
    CScene* m_scene;  // the caller holds the reference for the call
    double m_time;
};

} // namespace __SceneGeneratedCode
