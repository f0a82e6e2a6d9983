#include "placefile/PlaceObjectIndex.h"

#include <algorithm>
#include <utility>

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceLayer.h"

namespace Engine::Graphics::PlaceFile {

namespace {
// Appends the object and everything under it in walk order. A stack of its
// own: hand-made groups may nest deeper than a file may.
void Collect(CPlaceObject* object, std::vector<std::pair<uint32_t, CPlaceObject*>>& out) {
    out.emplace_back(object->ID, object);
    auto* group = dynamic_cast<CPlaceGroupObject*>(object);
    if (!group) return;
    std::vector<std::pair<CPlaceGroupObject*, size_t>> open{{group, 0}};
    while (!open.empty()) {
        CPlaceGroupObject* current = open.back().first;
        const size_t next = open.back().second++;
        if (next == current->Children.size()) {
            open.pop_back();
            continue;
        }
        CPlaceObject* child = current->Children[next].get();
        out.emplace_back(child->ID, child);
        if (auto* inner = dynamic_cast<CPlaceGroupObject*>(child)) open.emplace_back(inner, 0);
    }
}
} // namespace

CPlaceObject* CPlaceObjectIndex::Find(const std::vector<std::unique_ptr<CPlaceLayer>>& layers, uint32_t id) {
    if (!m_built) Build(layers);
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                        [](const CEntry& entry, uint32_t key) { return entry.id < key; });
    return found != m_entries.end() && found->id == id ? found->object : nullptr;
}

void CPlaceObjectIndex::Invalidate() {
    m_entries = {};
    m_built = false;
}

void CPlaceObjectIndex::Build(const std::vector<std::unique_ptr<CPlaceLayer>>& layers) {
    std::vector<std::pair<uint32_t, CPlaceObject*>> walked;
    for (const std::unique_ptr<CPlaceLayer>& layer : layers)
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects) Collect(object.get(), walked);
    // Stable: equal IDs stay in walk order, and the first of them is kept.
    std::stable_sort(walked.begin(), walked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_entries.clear();
    m_entries.reserve(walked.size());
    for (const auto& [id, object] : walked)
        if (m_entries.empty() || m_entries.back().id != id) m_entries.push_back({id, object});
    m_built = true;
}

} // namespace Engine::Graphics::PlaceFile
