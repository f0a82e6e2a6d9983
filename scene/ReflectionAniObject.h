#pragma once
// The animated object that wraps an instance of its bound type, created by
// class name when the scene archive is read, and moves values between the
// instance's reflected properties and their controllers.

#include "reflection/Value.h"
#include "scene/AniObject.h"

namespace Engine::Scene {

class IReflectionAnimObject;

class CReflectionAniObject : public CAniObject {
public:
    CReflectionAniObject() = default;
    // Deletes the wrapped object it created (through IReflectionAnimObject:
    // an instance of a type registered without that base is not deleted).
    ~CReflectionAniObject() noexcept(false) override;

    // Drops every link and slot, then unbinds and deletes the wrapped object.
    void Dispose() override;
    bool Serialize(CArchive& ar) override;
    // Takes the wrapped object's current property values into the
    // controllers: as new values (record) or as an offset of their keys.
    bool UpdateAtTime(double time, bool record) override;
    CString GetName() const override;
    // Writes each non-constant controller's value at the time into the
    // wrapped object's property.
    void ApplyAtTime(double time) override;

    const Engine::Reflection::CValue& GetWrappedObject() const { return m_object; }
    // The wrapped object through its interface; null when the bound type
    // is no IReflectionAnimObject or nothing is wrapped.
    IReflectionAnimObject* GetAnimObject() const;

    // Creates the bound type's instance with this wrapper as its argument,
    // in place of the one wrapped before.
    void CreateWrappedObject();

private:
    void DeleteWrappedObject(bool unbind) noexcept;

    Engine::Reflection::CValue m_object;
    // m_object as IReflectionAnimObject, once asked for; cleared with it.
    mutable IReflectionAnimObject* m_animObject = nullptr;
};

} // namespace Engine::Scene
