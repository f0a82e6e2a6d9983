#pragma once
// Classes shaped like the engine's reflected ones: a counted polymorphic
// base, a polymorphic interface, a tag interface without virtual functions
// (its part never starts at the object's address), and a plain class.

#include <memory>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "reflection/Reflection.h"

namespace ReflTest {

struct CNode : Engine::CReferenced {
    explicit CNode(int* deaths = nullptr) : m_deaths(deaths) {}
    ~CNode() override { if (m_deaths) ++*m_deaths; }
    int* m_deaths;
};
// Mixed with CReferenced, whose destructor may throw.
struct IKey {
    virtual ~IKey() noexcept(false) = default;
};
struct ITag {
    int tag = 7;
};
struct CStep : CNode, IKey, ITag {};
struct CBez : CNode, IKey, ITag {};
struct CStepChild : CStep {};
struct CKeyOnly : IKey {};
struct CPlain {
    int v = 0;
};

// A counted class with properties: a const getter ("Strength"), a
// non-const getter ("Position"), a pointer ("Parent"), and constructors of
// no and one argument.
struct CWidget : CNode {
    CWidget() = default;
    explicit CWidget(CNode* parent) : m_parent(parent) {}
    void SetStrength(float value) { m_strength = value, ++m_sets; }
    float GetStrength() const { return m_strength; }
    void SetPosition(const Engine::Geometry::CVector2& value) { m_position = value; }
    Engine::Geometry::CVector2 GetPosition() { return m_position; }
    void SetParent(CNode* parent) { m_parent = parent; }
    CNode* GetParent() const { return m_parent; }

    CNode* m_parent = nullptr;
    float m_strength = 0;
    Engine::Geometry::CVector2 m_position;
    int m_sets = 0;
};
struct CGadget : CWidget {
    void SetOn(bool on) { m_on = on; }
    bool GetOn() const { return m_on; }
    bool m_on = false;
};
struct CAbstractWidget : CWidget {};

enum class EFlags : uint32_t { None = 0, Low = 1, High = 0x80000000u };

// Registers the fixture types once with the registration kit.
void RegisterFixtures();

// Objects that live for the whole run, for tests that only point at them.
CStep& Step();
CBez& Bez();

} // namespace ReflTest
