#pragma once
// The root of an animated scene: a named animatable with an ordered list of
// children and the time record that maps an outside time into its span.

#include <deque>
#include <functional>
#include <set>

#include "scene/AnimatedChildren.h"
#include "scene/Animatable.h"

namespace Engine::Scene {

class CAniObject;

enum EWrapMode : uint32_t { WRAP_LOOP = 0, WRAP_REVERSE = 1, WRAP_PING_PONG = 2 };

// The unbounded end of a time span.
constexpr double ENDLESS_TIME = 2147483392.0;

struct CSceneTime {
    double currentTime = 0.0;  // the last time given to SetTime
    float rate = 5.0f;
    double spanStart = 0.0;
    double spanEnd = 50.0;
    uint32_t wrapMode = WRAP_LOOP;
    double wrappedTime = 0.0;  // the last mapped time
    uint32_t endless = 0;      // non-zero: the span has no end
};

// The span's end; ENDLESS_TIME for an endless span.
double GetTimeSpanEnd(const CSceneTime& time);
// Maps a time (already scaled by the rate) into the span by the wrap mode.
// A span of length 0 maps every time to its start.
double WrapTimeIntoSpan(const CSceneTime& time, double t);

class CScene : public CAnimatable {
public:
    CScene();
    // Disposes of every child.
    ~CScene() noexcept(false) override;

    // A change of a source re-applies the current time to it.
    int NotifyRefChanged(CReferenceTarget::Ref source, int message) override;
    // Removes every child, then drops every link.
    void Dispose() override;
    bool Serialize(CArchive& ar) override;
    int GetSubAnimCount() const override;
    CAnimatable::Ref GetSubAnim(int index) const override;
    // An animated object's name, else "No Name".
    CString GetSubAnimName(int index) const override;
    // Disposes of the child and removes it.
    void RemoveSubAnim(int index) override;

    // The name; null when it is empty.
    virtual const char* GetName() const;
    virtual void SetName(const char* name);
    virtual CAniObject* GetAniObject(int index) const;

    // False when the object already is a child.
    bool AddChild(CAnimatable::Ref child);
    // Maps the time into the span and applies it to every animated child.
    // Does nothing while an update pass runs.
    void SetTime(double time);
    // Applies the time to every animated child, as UpdateSubAnimsAtTime's
    // walk does, visiting only the children the time can change.
    void ApplyTimeToChildren(double time);

    CSceneTime& GetTimeRecord() { return m_time; }
    const CSceneTime& GetTimeRecord() const { return m_time; }

private:
    void RemoveAllChildren();
    // Letting go of a child touches its objects (about a dozen for an
    // animated sprite) for the first time since loading, and a third of
    // letting go of a big scene went in waiting for their memory. The
    // children ahead are asked for one level of references more at each
    // step, so that a level is read only once the caches hold it.
    void PrefetchChildrenAhead() const;
    void ReadScene(CArchive& ar);
    void WriteScene(CArchive& ar);

    // Children leave from the front, one at a time (RemoveSubAnim (0) until
    // none is left): a deque lets them go in constant time each, where a
    // vector moved every later child for each, and a scene of tens of
    // thousands of objects took most of a second to let go.
    CAnimatedChildren::ChildList m_children;
    // The children again, for AddChild's check: a search of the deque made
    // reading a scene of n children take n * n steps. Never iterated.
    std::set<const CAnimatable*, std::less<const CAnimatable*>, CScenePoolAllocator<const CAnimatable*>> m_childSet;
    CAnimatedChildren m_animated;
    CString m_name;
    CSceneTime m_time;
};

} // namespace Engine::Scene
