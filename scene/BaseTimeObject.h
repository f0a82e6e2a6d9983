#pragma once
// A node of a tree of time spans: its start is relative to its parent's
// span, and a span set on a node passes down to every child.

#include <cstdint>
#include <utility>
#include <vector>

#include "app/Referenced.h"

namespace Engine::KeyFramer {

class CBaseTimeObject : public Engine::CReferenced {
public:
    // Under a parent, the start is the offset plus the parent's span start,
    // and the node takes the parent's span. A derived class does not exist
    // yet while this runs, so a class that replaces SetSpan is made through
    // Create, which hands it the parent's span once it is whole.
    CBaseTimeObject(Engine::ref_ptr<CBaseTimeObject> parent, double offset);

    template <class T, class... Args>
    static Engine::ref_ptr<T> Create(Engine::ref_ptr<CBaseTimeObject> parent, double offset, Args&&... args) {
        Engine::ref_ptr<T> object(new T(parent, offset, std::forward<Args>(args)...));
        if (parent) object->SetSpan(parent->m_spanStart, parent->m_spanEnd);
        return object;
    }
    // Leaves the parent's list of children.
    ~CBaseTimeObject() noexcept(false) override;
    CBaseTimeObject(const CBaseTimeObject&) = delete;
    CBaseTimeObject& operator=(const CBaseTimeObject&) = delete;

    // Reserved: one word each; they do nothing.
    virtual void ReservedFirst(uint32_t) {}
    virtual void ReservedSecond(uint32_t) {}
    virtual void SetSpan(double start, double end);

    double GetStart() const { return m_start; }
    double GetSpanStart() const { return m_spanStart; }
    double GetSpanEnd() const { return m_spanEnd; }
    CBaseTimeObject* GetParent() const { return m_parent.get(); }
    size_t GetChildCount() const { return m_children.size(); }

private:
    double m_start;
    double m_spanStart = 0.0;
    double m_spanEnd = 0.0;
    Engine::ref_ptr<CBaseTimeObject> m_parent;
    // Not counted: a child keeps its parent alive, not the reverse.
    std::vector<CBaseTimeObject*> m_children;
};

} // namespace Engine::KeyFramer
