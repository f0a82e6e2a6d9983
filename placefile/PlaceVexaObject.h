#pragma once
// A place object that puts a particle emitter into a scene. Its embedded
// record names the emitter by its ID in the place file's particle library
// and holds what the animation drives: time, emitting flag and tint.

#include <cstdint>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "placefile/PlaceObject.h"
#include "placefile/PlaceParticles.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceVexaObject : public CPlaceObject {
public:
    class CVexaEmitter {
    public:
        explicit CVexaEmitter(CPlaceVexaObject* owner) : Owner(owner) {}
        virtual ~CVexaEmitter() = default;
        virtual void SetEmitterValue(float value) { EmitterValue = value; }
        // One step at the stored position: on the place file's clock while
        // Time is below 0, else on Time (a backward jump resets).
        void Update(double time, double step);

        CPlaceVexaObject* Owner;
        Engine::Geometry::CVector4 TintColor{0.0f, 0.0f, 0.0f, 0.0f};
        uint8_t IsEmitting = 0;
        float EmitterValue = 0.0f;
        int32_t EmitterID = -1;
        float Time = -1.0f;
        float LastTime = -1.0f;
        ref_ptr<IPlaceEmitter> Emitter;
    };

    CPlaceVexaObject(CPlaceLayer* layer, CPlaceGroupObject* parent) : CPlaceObject(layer, parent), Emitter(this) {}

    void Serialize(CArchive& ar) override;
    // Moves the emitter to the centre of the rectangle and steps it.
    void UpdateEmitter(double time, double step);
    // Renders the emitter moved by (x, y).
    void Render(float x, float y);

    CVexaEmitter Emitter;
};

// Red in bits 0-7 .. alpha in bits 24-31, each over 255.
Engine::Geometry::CVector4 ColorToVector4(uint32_t color);

} // namespace Engine::Graphics::PlaceFile
