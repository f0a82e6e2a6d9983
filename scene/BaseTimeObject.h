#pragma once
// A node of a tree of time spans: its start is relative to its parent's
// span, and a span set on a node passes down to every child.

#include <vector>

#include "app/Referenced.h"

namespace Engine::KeyFramer {

class CBaseTimeObject : public Engine::CReferenced {
public:
    // Under a parent, the start is the offset plus the parent's span start,
    // and the node takes the parent's span. A derived class's SetSpan is not
    // reached from here (it does not exist yet); none needs it.
    CBaseTimeObject(Engine::ref_ptr<CBaseTimeObject> parent, double offset);
    // Leaves the parent's list of children.
    ~CBaseTimeObject() noexcept(false) override;
    CBaseTimeObject(const CBaseTimeObject&) = delete;
    CBaseTimeObject& operator=(const CBaseTimeObject&) = delete;

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
