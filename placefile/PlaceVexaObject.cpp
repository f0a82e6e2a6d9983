#include "placefile/PlaceVexaObject.h"

#include "app/Exception.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_VEXA = 0x5151;
} // namespace

Engine::Geometry::CVector4 ColorToVector4(uint32_t color) {
    auto channel = [color](int shift) { return float((color >> shift) & 0xFF) / 255.0f; };
    return {channel(0), channel(8), channel(16), channel(24)};
}

void CPlaceVexaObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    CPlaceObject::Serialize(ar);
    ExpectChunk(ar, CHUNK_VEXA, "Can't find CPlaceVexaObject chunk");
    ExpectChunk(ar, CHUNK_VEXA, "Can't find CVexaEmitter chunk");
    Emitter.EmitterID = ReadInt(ar);
    ar.ReadByte(Emitter.IsEmitting);
    Emitter.EmitterValue = ReadFloat(ar);
    Emitter.TintColor = ColorToVector4(ReadUInt(ar));
    CPlaceFile* placeFile = Layer->PlaceFile;
    if (placeFile && placeFile->GetVexaFileLocalManager())
        Emitter.Emitter = placeFile->GetVexaLibrary().CreateEmitterByID(uint32_t(Emitter.EmitterID));
}

void CPlaceVexaObject::UpdateEmitter(double time, double step) {
    if (!Emitter.Emitter) return;
    const float x = (Position.x - float(Width) * Pivot.x) + 0.5f * float(Width);
    const float y = (Position.y - float(Height) * Pivot.y) + 0.5f * float(Height);
    Emitter.Emitter->SetPosition(x, y, 0.0f);
    Emitter.Update(time, step);
}

void CPlaceVexaObject::CVexaEmitter::Update(double time, double step) {
    IPlaceEmitter& engine = *Emitter;
    VexaParticles::IVexaParticleEmitter* library = engine.GetLibraryEmitter();
    if (library) {
        // The emitter value is the library emitter's draw scale.
        library->SetScale(EmitterValue);
    }
    engine.SetEmitting(IsEmitting != 0);
    if (library) library->SetTintColor(TintColor.x, TintColor.y, TintColor.z, TintColor.w);
    if (Time < 0.0f) {
        engine.Move(float(time), float(step));
        engine.Update(float(time), float(step));
        return;
    }
    if (LastTime < 0.0f) LastTime = Time;
    float delta = Time - LastTime;
    if (delta < 0.0f) {
        if (library) library->Reset();
        delta = 0.0f;
        LastTime = Time;
    }
    engine.Move(LastTime, delta);
    engine.Update(LastTime, delta);
    LastTime = Time;
}

void CPlaceVexaObject::Render(float x, float y) {
    if (!Emitter.Emitter) return;
    if (VexaParticles::IVexaParticleEmitter* library = Emitter.Emitter->GetLibraryEmitter())
        library->SetOffset(x, y, 0.0f);
    Emitter.Emitter->RenderAll();
}

} // namespace Engine::Graphics::PlaceFile
