#include "graphics/SpriteRef.h"

#include <algorithm>

#include "graphics/SprFile.h"

namespace Engine::Graphics::SprFile {

CSpriteRef::CSpriteRef(CSprFile* file, CSpriteDef* definition) : m_file(file), m_definition(definition) {
    m_template.sprite = this;
    ResetDrawParams(m_template);
}

CSpriteRef::~CSpriteRef() {
    if (m_definition && m_definition->m_defaultRef.get() == this) (void)m_definition->m_defaultRef.release();
    if (m_file) m_file->UntrackRef(this);
}

void CSpriteRef::Detach() {
    m_definition = nullptr;
    m_file = nullptr;
}

int32_t CSpriteRef::GetSpriteFrameCount() const {
    return m_definition ? m_definition->GetFrameCount() : 1;
}

int32_t CSpriteRef::SetFrame(int32_t n) {
    const int64_t count = GetSpriteFrameCount();
    if (count <= 0) {  // a definition without frames: nothing to wrap around
        m_template.frame = 0;
        return 0;
    }
    if (n >= 0) {
        m_template.frame = int32_t(n % count);
        return int32_t(n / count);
    }
    const int64_t back = count - 1 - int64_t(n);
    m_template.frame = int32_t(count - 1 - back % count);
    return int32_t(back / count);
}

void CSpriteRef::SetLastFrame() { m_template.frame = GetSpriteFrameCount() - 1; }

int32_t CSpriteRef::FindFrameIndex(int32_t frame) const {
    if (!m_definition) return -1;
    if (frame < 0) frame = std::max(m_template.frame, 0);
    return frame < m_definition->GetFrameCount() ? frame : -1;
}

const CSpriteFrame* CSpriteRef::FindFrame(int32_t frame) const {
    const int32_t index = FindFrameIndex(frame);
    return index < 0 ? nullptr : &m_definition->frames[size_t(index)];
}

int32_t CSpriteRef::GetSpriteFrameWidth(int32_t frame) const {
    if (!m_definition) return TextureSize()[0];
    const int32_t index = FindFrameIndex(frame);
    return index < 0 ? 0 : int32_t(m_definition->GetFrameSize(size_t(index)).first);
}

int32_t CSpriteRef::GetSpriteFrameHeight(int32_t frame) const {
    if (!m_definition) return TextureSize()[1];
    const int32_t index = FindFrameIndex(frame);
    return index < 0 ? 0 : int32_t(m_definition->GetFrameSize(size_t(index)).second);
}

std::array<int32_t, 2> CSpriteRef::TextureSize() const {
    std::array<int32_t, 2> size{};
    if (m_template.texture) m_template.texture->GetSize(size[0], size[1]);
    return size;
}

std::array<float, 4> CSpriteRef::GetSpritePieceRect(int32_t frame, int32_t piece) const {
    const CSpriteFrame* found = FindFrame(frame);
    if (!found || piece < 0 || size_t(piece) >= found->pieces.size()) return {};
    const TextureRegion& region = found->pieces[size_t(piece)];
    return {region.uLeft, region.vTop, region.uRight, region.vBottom};
}

int32_t CSpriteRef::GetPieceBitmap(int32_t frame, int32_t piece) const {
    const CSpriteFrame* found = FindFrame(frame);
    if (!found || piece < 0 || size_t(piece) >= found->pieces.size()) return -1;
    return found->pieces[size_t(piece)].bitmap;
}

} // namespace Engine::Graphics::SprFile
