#include "scene/SceneRoot.h"

#include <algorithm>
#include <cmath>

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "scene/AniObject.h"
#include "scene/ClassDir.h"
#include "scene/SceneArchive.h"

namespace Engine::Scene {

namespace {

const char* const DEFAULT_SCENE_NAME = "Default Scene";
// Letting go of children asks for the one kPrefetchStride ahead one level
// deeper than for the one after it, down to kPrefetchDepth - 1 levels.
constexpr int kPrefetchDepth = 4;
constexpr size_t kPrefetchStride = 3;
// The smallest object record: a "NULL" reference.
constexpr uint32_t MIN_OBJECT_RECORD_BYTES = 5;

[[noreturn]] void ThrowBadSceneHeader() {
    throw Engine::CException("Scene serialization error: File ID Wrong or Old File Version");
}

// The five stored fields of the time record.
void SerializeTimeFields(CArchive& ar, CSceneTime& time) {
    SerializeDouble(ar, time.spanStart);
    SerializeDouble(ar, time.spanEnd);
    if (ar.IsStoring()) {
        ar.WriteFloat(time.rate);
        ar.WriteDWord(time.wrapMode);
        ar.WriteDWord(time.endless);
    } else {
        ar.ReadFloat(time.rate);
        ar.ReadDWord(time.wrapMode);
        ar.ReadDWord(time.endless);
    }
}

void ReadTimeRecord(CArchive& ar, CSceneTime& time) {
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    if (int64_t(header.length) > ar.GetBytesLeft())
        throw Engine::CException("Scene serialization error: Time chunk is longer than the data left");
    const int64_t end = ar.GetFile()->Tell() + int64_t(header.length);
    if (header.id != CHUNK_SCENE_TIME) {
        // A foreign chunk is skipped; the fields follow it.
        ar.GetFile()->Skip(int64_t(header.length));
        SerializeTimeFields(ar, time);
        return;
    }
    SerializeTimeFields(ar, time);
    CheckChunkEnd(ar, end, "the scene time");
}

} // namespace

double GetTimeSpanEnd(const CSceneTime& time) {
    return time.endless ? ENDLESS_TIME : time.spanEnd;
}

double WrapTimeIntoSpan(const CSceneTime& time, double t) {
    double cycles = 0.0;
    double rest = t;
    if (!time.endless) {
        const double length = std::fabs(time.spanEnd - time.spanStart);
        if (length == 0.0) return time.spanStart;
        // Truncated toward zero, so a negative time keeps a negative rest.
        cycles = std::trunc(t / length);
        rest = t - cycles * length;
    }
    switch (time.wrapMode) {
    case WRAP_LOOP: return time.spanStart + rest;
    case WRAP_REVERSE: return (time.endless ? ENDLESS_TIME : time.spanEnd) - rest;
    case WRAP_PING_PONG:
        return std::fmod(cycles, 2.0) != 0.0 ? GetTimeSpanEnd(time) - rest : time.spanStart + rest;
    default: return rest;
    }
}

CScene::CScene() : m_name(DEFAULT_SCENE_NAME) {}

CScene::~CScene() noexcept(false) {
    try {
        while (!m_children.empty()) {
            const CAnimatable::Ref child = m_children.front();
            child->Dispose();
            m_children.erase(m_children.begin());
            m_childSet.erase(child.get());
            NotifyDependentsFrom(nullptr, REFMSG_REMOVED, 1);
        }
    } catch (...) {
        GetLog().PrintLine("CScene : a child failed to go with its scene");
        m_children.clear();
        m_childSet.clear();
    }
}

int CScene::NotifyRefChanged(CReferenceTarget::Ref source, int message) {
    if (message != REFMSG_CHANGED) return REFRESULT_CONTINUE;
    const CAnimatable::Ref object = Engine::DynamicRefCast<CAnimatable>(source);
    if (object && !IsUpdating()) {
        const CUpdatePass pass;
        if (CAniObject* animated = ToAniObject(object.get())) animated->ApplyAtTime(m_time.wrappedTime);
    }
    return REFRESULT_CONTINUE;
}

void CScene::Dispose() {
    const CReferenceTarget::Ref self = Pin();
    RemoveAllChildren();
    CAnimatable::Dispose();
}

void CScene::RemoveAllChildren() {
    while (!m_children.empty()) {
        PrefetchChildrenAhead();
        RemoveSubAnim(0);
    }
}

void CScene::PrefetchChildrenAhead() const {
    for (int depth = 0; depth < kPrefetchDepth; ++depth) {
        const size_t index = kPrefetchStride * size_t(kPrefetchDepth - depth);
        if (index < m_children.size()) m_children[index]->PrefetchReferences(depth);
    }
}

int CScene::GetSubAnimCount() const {
    return int(m_children.size());
}

CAnimatable::Ref CScene::GetSubAnim(int index) const {
    return m_children.at(size_t(index));
}

CString CScene::GetSubAnimName(int index) const {
    if (CAniObject* animated = GetAniObject(index)) return animated->GetName();
    return CString("No Name");
}

void CScene::RemoveSubAnim(int index) {
    const CAnimatable::Ref child = m_children.at(size_t(index));
    child->Dispose();
    // Found again: disposing may have changed the list.
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it != m_children.end()) {
        m_children.erase(it);
        m_childSet.erase(child.get());
    }
    m_animated.Changed();
    NotifyDependents(REFMSG_REMOVED, 1);
}

const char* CScene::GetName() const {
    return m_name.IsEmpty() ? nullptr : m_name.c_str();
}

void CScene::SetName(const char* name) {
    m_name = name ? name : "";
}

CAniObject* CScene::GetAniObject(int index) const {
    return ToAniObject(m_children.at(size_t(index)).get());
}

bool CScene::AddChild(CAnimatable::Ref child) {
    if (!child || m_childSet.count(child.get())) return false;
    AddReference(child, 0);
    m_children.push_back(child);
    m_childSet.insert(child.get());
    m_animated.Appended(m_children);
    child->NotifyDependents(REFMSG_ADDED, 1);
    return true;
}

void CScene::SetTime(double time) {
    if (IsUpdating()) return;
    m_time.currentTime = time;
    const CUpdatePass pass;
    m_time.wrappedTime = WrapTimeIntoSpan(m_time, time * double(m_time.rate));
    ApplyTimeToChildren(m_time.wrappedTime);
}

void CScene::ApplyTimeToChildren(double time) {
    m_animated.ApplyAtTime(*this, m_children, time);
}

bool CScene::Serialize(CArchive& ar) {
    CClassDir& dir = CClassDir::GetInstance();
    dir.Clear();
    if (ar.IsStoring()) {
        WriteScene(ar);
        return true;
    }
    try {
        ReadScene(ar);
    } catch (...) {
        // The objects read so far may hold each other; none of them stays.
        dir.DisposeAll();
        throw;
    }
    dir.DisposeDropped();
    return true;
}

void CScene::WriteScene(CArchive& ar) {
    ar.BeginChunk(CHUNK_SCENE, SCENE_CHUNK_VERSION);
    ar.WriteString(m_name);
    ar.BeginChunk(CHUNK_SCENE_TIME, CHUNK_VERSION);
    SerializeTimeFields(ar, m_time);
    ar.EndChunk();
    ar.WriteDWord(GetNextObjectId());
    ar.WriteDWord(uint32_t(m_children.size()));
    for (size_t i = 0; i < m_children.size(); ++i) {
        const CAnimatable::Ref child = m_children[i];
        child->Serialize(ar);
    }
    ar.EndChunk();
}

void CScene::ReadScene(CArchive& ar) {
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    if (header.id != CHUNK_SCENE || header.version < CHUNK_VERSION) ThrowBadSceneHeader();
    if (int64_t(header.length) > ar.GetBytesLeft())
        throw Engine::CException("Scene serialization error: Scene chunk is longer than the data left");
    const int64_t end = ar.GetFile()->Tell() + int64_t(header.length);
    // Read into copies: the scene keeps what it had until the whole
    // archive has been read.
    CString name;
    ar.ReadString(name);
    CSceneTime time = m_time;
    ReadTimeRecord(ar, time);
    if (header.version > CHUNK_VERSION) {
        uint32_t nextObjectId = 0;
        ar.ReadDWord(nextObjectId);
        RaiseNextObjectId(nextObjectId);
    }
    uint32_t count = 0;
    ar.ReadDWord(count);
    CheckCount(ar, count, MIN_OBJECT_RECORD_BYTES, "children");
    std::vector<CAnimatable::Ref> children;
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        if (CAnimatable::Ref child = ReadAnimatableRef(ar)) children.push_back(std::move(child));
    }
    CheckChunkEnd(ar, end, "CScene");

    m_name = name;
    m_time.spanStart = time.spanStart;
    m_time.spanEnd = time.spanEnd;
    m_time.rate = time.rate;
    m_time.wrapMode = time.wrapMode;
    m_time.endless = time.endless;
    RemoveAllChildren();
    for (CAnimatable::Ref& child : children) AddChild(std::move(child));
}

} // namespace Engine::Scene
