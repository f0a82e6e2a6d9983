#include "graphics/SpriteQueue.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "graphics/DeviceObject.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteQueueEmitter.h"
#include "graphics/SpriteQueueRecord.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpriteSource.h"

namespace Engine::Graphics {

namespace {

// A record's run key: texture serial, then state bits. Records of equal run
// key share a run; runs are drawn in run-key order.
constexpr int STATE_BITS = 12;
static_assert(SPRITE_STATE_MASK < (1u << STATE_BITS));

uint64_t RunKey(const CTexture* texture, uint32_t flags) {
    const uint64_t serial = texture ? texture->GetSerial() : 0;
    return serial << STATE_BITS | uint64_t(flags & SPRITE_STATE_MASK);
}

// Orders the records by run key, keeping queue order inside each run, which
// overlapping blended sprites need to composite correctly: a counting sort
// that buckets records by run key, in time linear in the records (a frame
// rarely has many runs). The records' run keys are handed over one at a
// time, as the flush works them out, and bucketed at once.
class CKeySorter {
public:
    void Begin(size_t count) {
        if (++m_stamp == 0) {  // wrapped: forget every slot
            m_slots.fill({});
            m_stamp = 1;
        }
        m_runKeys.clear();
        m_sizes.clear();
        m_bucketOf.resize(count);
        m_lastBucket = -1;
    }
    void Add(size_t index, uint64_t runKey) {
        if (m_lastBucket < 0 || runKey != m_lastKey) {
            m_lastKey = runKey;
            m_lastBucket = FindBucket(runKey);
        }
        m_bucketOf[index] = m_lastBucket;
        ++m_sizes[size_t(m_lastBucket)];
    }
    // The order of the keys added since Begin, and where each run of equal
    // keys ends in it.
    void Sort(std::vector<int32_t>& order, std::vector<int32_t>& runEnds) {
        const int32_t count = int32_t(m_bucketOf.size());
        if (m_runKeys.size() == 1) {
            std::iota(order.begin(), order.end(), 0);
            runEnds.push_back(count);
            return;
        }
        // The buckets' places in the result, in run-key order.
        m_ranked.resize(m_runKeys.size());
        std::iota(m_ranked.begin(), m_ranked.end(), 0);
        std::sort(m_ranked.begin(), m_ranked.end(),
                  [this](int32_t a, int32_t b) { return m_runKeys[size_t(a)] < m_runKeys[size_t(b)]; });
        int32_t next = 0;
        for (int32_t bucket : m_ranked) {
            const int32_t size = m_sizes[size_t(bucket)];
            m_sizes[size_t(bucket)] = next;
            next += size;
            runEnds.push_back(next);
        }
        for (int32_t i = 0; i < count; ++i) order[size_t(m_sizes[size_t(m_bucketOf[size_t(i)])]++)] = i;
    }

private:
    static constexpr size_t SLOTS = 2 * size_t(CSpriteQueue::CAPACITY);  // a power of two
    static constexpr size_t SCANNED_RUNS = 8;
    struct CSlot {
        uint64_t runKey = 0;
        uint32_t stamp = 0;  // the slot is in use when it equals the table's stamp
        int32_t bucket = 0;
    };

    int32_t FindBucket(uint64_t runKey) {
        // A frame's few runs are found faster by looking at each than by
        // hashing; the table serves frames of many.
        if (m_runKeys.size() <= SCANNED_RUNS) {
            const auto known = std::find(m_runKeys.begin(), m_runKeys.end(), runKey);
            if (known != m_runKeys.end()) return int32_t(known - m_runKeys.begin());
        }
        size_t slot = size_t((runKey * 0x9E3779B97F4A7C15ull) >> 40) & (SLOTS - 1);
        while (m_slots[slot].stamp == m_stamp) {
            if (m_slots[slot].runKey == runKey) return m_slots[slot].bucket;
            slot = (slot + 1) & (SLOTS - 1);
        }
        const int32_t bucket = int32_t(m_runKeys.size());
        m_slots[slot] = {runKey, m_stamp, bucket};
        m_runKeys.push_back(runKey);
        m_sizes.push_back(0);
        return bucket;
    }

    std::array<CSlot, SLOTS> m_slots{};
    uint32_t m_stamp = 0;
    std::vector<uint64_t> m_runKeys;  // per bucket
    std::vector<int32_t> m_sizes;     // per bucket: its size, then its next place
    std::vector<int32_t> m_ranked;    // buckets in run-key order
    std::vector<int32_t> m_bucketOf;  // per record
    uint64_t m_lastKey = 0;           // the run key of the record added last
    int32_t m_lastBucket = -1;        // and its bucket; -1: none yet
};

// The queue is process-wide and used from the main thread only.
struct CQueueState {
    std::vector<CQueuedSprite> records;
    std::vector<int32_t> order;
    std::vector<int32_t> runEnds;  // in the drawing order
    CKeySorter sorter;
    int32_t capacity = 0;
    CGraphics* driver = nullptr;
    ref_ptr<CVertexBuffer> vertexBuffer;
};

CQueueState& State() {
    static CQueueState state;
    return state;
}

struct CBlendPair {
    int source;
    int destination;
};

// The first blend bit that holds wins, in this order; blending off is
// handled before.
CBlendPair BlendFactors(uint32_t flags) {
    if (flags & SPRITE_BLEND_ALPHA) return {BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA};
    if (flags & SPRITE_BLEND_ADD) return {BLEND_ONE, BLEND_ONE};
    if (flags & SPRITE_BLEND_ALPHA_ADD) return {BLEND_SRC_ALPHA, BLEND_ONE};
    return {BLEND_ONE, BLEND_INV_SRC_ALPHA};
}

void ResetPointFilter(CGraphics& driver, uint32_t state) {
    if (state & SPRITE_LINEAR_FILTER) driver.gSetTextureFilter(0, FILTER_POINT, FILTER_POINT, FILTER_POINT);
}

bool CanDraw(const CQueueState& state) { return state.driver && state.vertexBuffer; }

// Flushes a full queue before a record is appended; false when the queue
// is not initialised and can take nothing.
bool MakeRoom(const CSpriteQueue::CParams& params) {
    CQueueState& state = State();
    if (state.capacity == 0) return false;
    // A frame stopped by a quit draws nothing more: its producers queue nothing.
    if (CSpriteQueue::IsFrameStopped()) return false;
    if (int32_t(state.records.size()) >= state.capacity) CSpriteQueue::Flush(params);
    return true;
}

// The record's texture from its piece, looked up now: the file's texture
// may have been made or replaced since the record was queued. A record
// without a sprite file or definition keeps its own.
CTexture* FindTexture(const CSpriteQueueItem& item, const CSpriteSource& source) {
    const SprFile::CSpriteRef* sprite = item.sprite;
    if (!sprite || !sprite->GetFile() || !sprite->GetDefinition()) return item.texture.get();
    if (source.drawable && source.piece->bitmap >= 0)
        return sprite->GetFile()->GetBitmapEntry(size_t(source.piece->bitmap)).texture.get();
    return nullptr;
}

void TakeTexture(CSpriteQueueItem& item, const CSpriteSource& source) {
    CTexture* texture = FindTexture(item, source);
    if (item.texture.get() != texture) item.texture = texture;
}

// The split rule: a frame of several pieces, or a record that asks for
// splitting or tiling.
bool SplitsFrame(const SprFile::CSpriteFrame* frame, uint32_t flags) {
    return frame && (frame->GetPieceCount() > 1 || (flags & SPRITE_SPLIT_MASK));
}

// The producers' two halves: a copy of the sprite's template coloured in
// all corners (null when the queue is not initialised), and its commit once
// the producer has filled it in. Kept as calls: inlined into each producer
// they measured slower.
[[gnu::noinline]] CQueuedSprite* AppendRecord(const CSpriteQueue::CParams& params, const SprFile::CSpriteRef& sprite,
                                              uint32_t color) {
    if (!MakeRoom(params)) return nullptr;
    CQueuedSprite& record = State().records.emplace_back(sprite.GetTemplate());
    std::fill(std::begin(record.item.colors), std::end(record.item.colors), color);
    return &record;
}

// Replaces the queue's last record by its parts; apart from the commit so
// that the common commit carries no copy of a whole record.
[[gnu::noinline]] void SplitLast(const CSpriteQueue::CParams& params, const SprFile::CSpriteRef& sprite) {
    std::vector<CQueuedSprite>& records = State().records;
    const CSpriteQueueItem whole = std::move(records.back().item);
    records.pop_back();
    CSpriteQueue::BuildQuads(sprite, whole, &params);
}

// Commits the queue's last record: finds its frame and piece once, here,
// and its rotation only when it is not split (the parts share the whole's).
// A record whose frame does not exist is dropped.
[[gnu::noinline]] void CommitRecord(const CSpriteQueue::CParams& params, CQueuedSprite& last) {
    last.ResolveSource();
    const SprFile::CSpriteRef* sprite = last.item.sprite;
    if (sprite && sprite->GetFile() && sprite->GetDefinition()) {
        const SprFile::CSpriteFrame* frame = last.source.frame;
        if (!frame) {
            State().records.pop_back();  // a frame the sprite does not have draws nothing
            return;
        }
        if (SplitsFrame(frame, last.item.flags)) {
            SplitLast(params, *sprite);
            return;
        }
    }
    last.ResolveRotation();
}

} // namespace

void ResetDrawParams(CSpriteQueueItem& item) {
    CSpriteQueueItem defaults;
    defaults.sprite = item.sprite;
    defaults.texture = std::move(item.texture);
    item = std::move(defaults);
}

void CSpriteQueue::SetDriver(CGraphics* driver) { State().driver = driver; }
CGraphics* CSpriteQueue::GetDriver() { return State().driver; }

bool CSpriteQueue::Init() {
    CQueueState& state = State();
    state.records.clear();
    state.records.reserve(CAPACITY);
    state.order.reserve(CAPACITY);
    state.runEnds.reserve(CAPACITY);
    state.capacity = CAPACITY;
    return true;
}

void CSpriteQueue::Done() {
    CQueueState& state = State();
    state.records = {};
    state.order = {};
    state.runEnds = {};
    state.capacity = 0;
}

bool CSpriteQueue::IsInitialised() { return State().capacity > 0; }

bool CSpriteQueue::IsFrameStopped() {
    const CQueueState& state = State();
    return state.driver && state.driver->IsFrameStopped();
}

bool CSpriteQueue::CreateVertexBuffer() {
    CQueueState& state = State();
    if (!state.driver) return false;
    state.driver->CreateVertexBuffer(state.vertexBuffer, VERTEX_CAPACITY, int(sizeof(SpriteVertex)), VF_SPRITE, true);
    if (!state.vertexBuffer) return false;
    // Restored in the first pass, before anything may draw after a reset.
    state.vertexBuffer->SetRestoreFirst(true);
    return true;
}

void CSpriteQueue::ReleaseVertexBuffer() { State().vertexBuffer = nullptr; }
ref_ptr<CVertexBuffer> CSpriteQueue::GetVertexBuffer() { return State().vertexBuffer; }

int32_t CSpriteQueue::GetCount() { return int32_t(State().records.size()); }
const CSpriteQueueItem& CSpriteQueue::GetItem(int32_t index) { return State().records.at(size_t(index)).item; }

CSpriteQueueItem* CSpriteQueue::Append(const CParams& params, const SprFile::CSpriteRef& sprite, uint32_t color) {
    CQueuedSprite* record = AppendRecord(params, sprite, color);
    return record ? &record->item : nullptr;
}

CQueuedSprite* CSpriteQueue::AppendPart(const CParams& params, const CSpriteQueueItem& whole) {
    if (!MakeRoom(params)) return nullptr;
    return &State().records.emplace_back(whole);
}

void CSpriteQueue::DrawPart(CQueuedSprite& part, const CParams* params) {
    if (!params) {
        DrawNow(part);
        return;
    }
    if (MakeRoom(*params)) State().records.push_back(std::move(part));
}

void CSpriteQueue::QueueSprite(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                               int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                               uint32_t color) {
    CQueuedSprite* record = AppendRecord(params, sprite, color);
    if (!record) return;
    CSpriteQueueItem* item = &record->item;
    item->x = float(x);
    item->y = float(y);
    item->sourceX = float(sourceX);
    item->sourceY = float(sourceY);
    item->sourceWidth = float(sourceWidth);
    item->sourceHeight = float(sourceHeight);
    CommitRecord(params, *record);
}

void CSpriteQueue::QueueSpriteAt(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                                 uint32_t color) {
    CQueuedSprite* record = AppendRecord(params, sprite, color);
    if (!record) return;
    CSpriteQueueItem* item = &record->item;
    item->x = float(x);
    item->y = float(y);
    CommitRecord(params, *record);
}

void CSpriteQueue::QueueSpriteAtSize(const CParams& params, const SprFile::CSpriteRef& sprite, int32_t x, int32_t y,
                                     int32_t scaleX, int32_t scaleY, uint32_t color) {
    QueueSpriteAtSizeF(params, sprite, float(x), float(y), float(scaleX), float(scaleY), color);
}

void CSpriteQueue::QueueSpriteAtSizeF(const CParams& params, const SprFile::CSpriteRef& sprite, float x, float y,
                                      float scaleX, float scaleY, uint32_t color) {
    CQueuedSprite* record = AppendRecord(params, sprite, color);
    if (!record) return;
    CSpriteQueueItem* item = &record->item;
    item->x = x;
    item->y = y;
    item->scaleX = scaleX;
    item->scaleY = scaleY;
    CommitRecord(params, *record);
}

bool CSpriteQueue::NeedsSplit(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item) {
    if (!sprite.GetFile() || !sprite.GetDefinition()) return false;
    return SplitsFrame(FindSpriteFrame(*sprite.GetDefinition(), item.frame), item.flags);
}

void CSpriteQueue::CommitLast(const CParams& params) {
    std::vector<CQueuedSprite>& records = State().records;
    if (!records.empty()) CommitRecord(params, records.back());
}

int CSpriteQueue::CompareItems(int32_t a, int32_t b) {
    const std::vector<CQueuedSprite>& records = State().records;
    const CSpriteQueueItem& itemA = records[size_t(a)].item;
    const CSpriteQueueItem& itemB = records[size_t(b)].item;
    const uint64_t first = RunKey(itemA.texture.get(), itemA.flags);
    const uint64_t second = RunKey(itemB.texture.get(), itemB.flags);
    return first < second ? -1 : (first > second ? 1 : 0);
}

void CSpriteQueue::ApplyItemStates(uint32_t flags) {
    CGraphics* driver = State().driver;
    if (!driver) return;
    if (flags & SPRITE_LINEAR_FILTER) driver->gSetTextureFilter(0, FILTER_LINEAR, FILTER_LINEAR, FILTER_POINT);
    if (!(flags & SPRITE_BLEND_MASK)) return;
    // While quads are buffered for the dirty-rectangle pass, the blend
    // state goes with each buffered quad instead of to the device.
    const bool blend = !(flags & SPRITE_BLEND_OFF);
    driver->gSwitch(SWITCH_ALPHA_BLEND, blend);
    if (driver->GetSpritesContainer()) driver->m_bRecordedAlphaBlend = blend ? 1 : 0;
    if (!blend) return;
    const CBlendPair pair = BlendFactors(flags);
    SetBlendFactors(*driver, pair.source, pair.destination);
}

void CSpriteQueue::ResolveTexture(CSpriteQueueItem& item) { TakeTexture(item, FindSpriteSource(item)); }

bool CSpriteQueue::EmitQuad(const CSpriteQueueItem& item, SpriteVertex vertices[4]) {
    CGraphics* driver = GetDriver();
    if (!driver) return false;
    CQueuedSprite record(item);
    record.Resolve();
    return CQuadEmitter(*driver).Emit(record, vertices);
}

void CSpriteQueue::DrawItemNow(CSpriteQueueItem& item) {
    CQueuedSprite record(item);
    record.Resolve();
    DrawNow(record);
    item.texture = record.item.texture;
}

void CSpriteQueue::DrawNow(CQueuedSprite& record) {
    CQueueState& state = State();
    if (!CanDraw(state)) return;
    const ref_ptr<CBufferedSpritesContainer> container = state.driver->GetSpritesContainer();
    SpriteVertex quad[4];
    if (!CQuadEmitter(*state.driver).EmitDrawn(record, quad)) return;
    CSpriteQueueItem& item = record.item;
    TakeTexture(item, record.source);
    if (container) {
        // The record's own state bits are not applied: it takes the state
        // recorded last.
        container->Add(quad, item.texture, state.driver->GetRecordedDrawState());
        return;
    }
    void* memory = state.vertexBuffer->Lock();
    if (!memory) return;
    std::copy_n(quad, 4, static_cast<SpriteVertex*>(memory));
    state.vertexBuffer->Unlock();
    state.driver->gSetTextureStage(0, item.texture);
    ApplyItemStates(item.flags);
    state.driver->gDraw(PRIM_QUAD_LIST, state.vertexBuffer, 0, 1, nullptr);
    ResetPointFilter(*state.driver, item.flags);
}

bool CSpriteQueue::BufferRun(const CParams& params, int32_t begin, int32_t end, CBufferedSpritesContainer& container) {
    CQueueState& state = State();
    if (state.driver->CountDrawnQuads(end - begin)) return false;
    const CQueuedSprite& head = state.records[size_t(state.order[size_t(begin)])];
    const ref_ptr<CTexture> texture = head.texture;
    const uint32_t runState = head.item.flags & SPRITE_STATE_MASK;
    // Records the run's blend state in the driver for the buffered quads.
    ApplyItemStates(runState);
    const CBufferedDrawState drawState = state.driver->GetRecordedDrawState();
    CQuadEmitter emitter(*state.driver, params);
    for (int32_t i = begin; i < end; ++i) {
        SpriteVertex quad[4];
        if (emitter.EmitDrawn(state.records[size_t(state.order[size_t(i)])], quad))
            container.Add(quad, texture, drawState);
    }
    ResetPointFilter(*state.driver, runState);
    return true;
}

bool CSpriteQueue::DrawRun(const CParams& params, int32_t begin, int32_t end) {
    CQueueState& state = State();
    if (state.driver->CountDrawnQuads(end - begin)) return false;
    const CQueuedSprite& head = state.records[size_t(state.order[size_t(begin)])];
    const ref_ptr<CTexture> texture = head.texture;
    const uint32_t runState = head.item.flags & SPRITE_STATE_MASK;
    void* memory = state.vertexBuffer->Lock();
    if (!memory) return true;  // the device is lost: nothing can be drawn now
    auto* vertices = static_cast<SpriteVertex*>(memory);
    const int32_t vertexCount =
        CQuadEmitter(*state.driver, params).EmitRun(state.records.data(), state.order.data() + begin, end - begin, vertices);
    state.vertexBuffer->Unlock();
    state.driver->gSetTextureStage(0, texture);
    ApplyItemStates(runState);
    state.driver->gDraw(PRIM_QUAD_LIST, state.vertexBuffer, 0, vertexCount / 4, nullptr);
    ResetPointFilter(*state.driver, runState);
    return true;
}

void CSpriteQueue::Flush(const CParams& params) {
    CQueueState& state = State();
    std::vector<CQueuedSprite>& records = state.records;
    if (records.empty()) return;
    if (!CanDraw(state) || state.driver->IsFrameStopped()) {
        records.clear();
        return;
    }
    const int32_t count = int32_t(records.size());
    state.order.resize(size_t(count));
    state.runEnds.clear();
    // The software driver draws in submission order.
    const bool sorted = !state.driver->IsSoftwareRenderer();
    if (sorted) state.sorter.Begin(size_t(count));
    uint64_t previousRunKey = 0;
    for (int32_t i = 0; i < count; ++i) {
        CQueuedSprite& record = records[size_t(i)];
        // A record appended without a commit, or whose file was emptied
        // since, is looked up again.
        if (!record.IsCurrent()) record.Resolve();
        const CSpriteQueueItem& item = record.item;
        // Kept beside the record rather than counted in it: the records go
        // at the end of this flush, and the file holds the texture till then.
        record.texture = FindTexture(item, record.source);
        const uint64_t runKey = RunKey(record.texture, item.flags);
        if (sorted) {
            state.sorter.Add(size_t(i), runKey);
        } else if (i > 0 && runKey != previousRunKey) {
            state.runEnds.push_back(i);
        }
        previousRunKey = runKey;
    }
    if (sorted) {
        state.sorter.Sort(state.order, state.runEnds);
    } else {
        std::iota(state.order.begin(), state.order.end(), 0);
        state.runEnds.push_back(count);
    }
    // Each run is drawn in pieces that fit the vertex buffer, counted on the
    // quit watch: a quit found drops the rest. While the driver buffers,
    // runs go to its container instead.
    const ref_ptr<CBufferedSpritesContainer> container = state.driver->GetSpritesContainer();
    const int32_t maxQuads = state.vertexBuffer->GetCount() / 4;
    int32_t begin = 0;
    for (const int32_t runEnd : state.runEnds) {
        while (begin < runEnd && maxQuads > 0) {
            const int32_t end = std::min(runEnd, begin + maxQuads);
            const bool taken = container ? BufferRun(params, begin, end, *container) : DrawRun(params, begin, end);
            if (!taken) {
                records.clear();
                return;
            }
            begin = end;
        }
    }
    records.clear();
}

void CSpriteQueue::FlushIfPending(const CParams& params) {
    if (GetCount() != 0) Flush(params);
}

const SprFile::CSpriteRef& CSpriteQueue::GetEmptySprite() {
    static const SprFile::CSpriteRef empty;
    return empty;
}

} // namespace Engine::Graphics

namespace Engine::Graphics::SprFile {

void CSpriteRef::Draw(const CSpriteQueueItem& record) const {
    if (CSpriteQueue::NeedsSplit(*this, record)) {
        CSpriteQueue::BuildQuads(*this, record, nullptr);
        return;
    }
    CSpriteQueueItem item = record;
    CSpriteQueue::DrawItemNow(item);
}

} // namespace Engine::Graphics::SprFile
