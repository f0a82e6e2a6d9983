#include "placefile/PlaceObjectIndex.h"

#include <utility>

#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceLayer.h"

namespace Engine::Graphics::PlaceFile {

namespace {
// Appends the object and everything under it in walk order. A stack of its
// own: hand-made groups may nest deeper than a file may.
void Collect(CPlaceObject* object, CFirstMatchIndex<uint32_t, CPlaceObject*>& out) {
    out.Add(object->ID, object);
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
        out.Add(child->ID, child);
        if (auto* inner = dynamic_cast<CPlaceGroupObject*>(child)) open.emplace_back(inner, 0);
    }
}
} // namespace

CPlaceObject* CPlaceObjectIndex::Find(const std::vector<std::unique_ptr<CPlaceLayer>>& layers, uint32_t id) {
    if (!m_built) Build(layers);
    return m_byId.FindOr(id, nullptr);
}

void CPlaceObjectIndex::Invalidate() {
    m_byId.Clear();
    m_built = false;
}

void CPlaceObjectIndex::Build(const std::vector<std::unique_ptr<CPlaceLayer>>& layers) {
    m_byId.Clear();
    for (const std::unique_ptr<CPlaceLayer>& layer : layers)
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects) Collect(object.get(), m_byId);
    m_byId.Build();
    m_built = true;
}

} // namespace Engine::Graphics::PlaceFile
