#pragma once
// Classes shaped like the engine's reflected ones: a counted polymorphic
// base, a polymorphic interface, a tag interface without virtual functions
// (its part never starts at the object's address), and a plain class.

#include <memory>

#include "app/Referenced.h"
#include "reflection/Converters.h"
#include "reflection/Value.h"

namespace ReflTest {

struct CNode : Engine::CReferenced {
    explicit CNode(int* deaths = nullptr) : m_deaths(deaths) {}
    ~CNode() override {
        if (m_deaths) ++*m_deaths;
    }
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

// Registers the fixture types once: names, pointer records and converters.
void RegisterFixtures();

} // namespace ReflTest
