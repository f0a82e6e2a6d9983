#pragma once
// The drawable handle of a sprite: a definition of a sprite file and the
// current frame. The file keeps a list of its living references so that
// emptying it can detach them. A reference without a definition draws the
// whole texture held by its template record.

#include <array>
#include <cstddef>
#include <cstdint>

#include "graphics/SpriteQueueItem.h"

namespace Engine::Graphics::SprFile {

class CSprFile;
class CSpriteDef;
struct CSpriteFrame;

class CSpriteRef {
public:
    // An empty reference: no file, no definition, no texture.
    CSpriteRef() : CSpriteRef(nullptr, nullptr) {}
    CSpriteRef(CSprFile* file, CSpriteDef* definition);
    ~CSpriteRef();
    CSpriteRef(const CSpriteRef&) = delete;
    CSpriteRef& operator=(const CSpriteRef&) = delete;

    CSprFile* GetFile() const { return m_file; }
    const CSpriteDef* GetDefinition() const { return m_definition; }
    int32_t GetFrame() const { return m_template.frame; }

    // Wraps n into the frame range (negative n counts back from the last
    // frame) and returns how many times it wrapped.
    int32_t SetFrame(int32_t n);
    void SetLastFrame();

    // 1 without a definition, else the definition's frame count.
    int32_t GetSpriteFrameCount() const;
    // A negative frame means the current one; 0 outside the frame list.
    // Without a definition: the size of the template's texture.
    int32_t GetSpriteFrameWidth(int32_t frame = -1) const;
    int32_t GetSpriteFrameHeight(int32_t frame = -1) const;
    // u-left, v-top, u-right, v-bottom; zeros outside the lists.
    std::array<float, 4> GetSpritePieceRect(int32_t frame, int32_t piece) const;
    // -1 outside the lists.
    int32_t GetPieceBitmap(int32_t frame, int32_t piece) const;

    // The record that the draw queue copies for every draw; its sprite
    // points back to this reference and its frame is the current frame.
    CSpriteQueueItem& GetTemplate() { return m_template; }
    const CSpriteQueueItem& GetTemplate() const { return m_template; }

    // Draws a record at once, outside the queue, splitting it into pieces
    // as the queue would.
    void Draw(const CSpriteQueueItem& record) const;

private:
    friend class CSprFile;
    friend class CSpriteRefList;
    // The frame a getter means (negative: the current one), -1 outside the
    // list or without a definition.
    int32_t FindFrameIndex(int32_t frame) const;
    const CSpriteFrame* FindFrame(int32_t frame) const;
    std::array<int32_t, 2> TextureSize() const;
    // Called when the file is emptied or destroyed.
    void Detach();

    CSprFile* m_file;
    CSpriteDef* m_definition;
    CSpriteQueueItem m_template;
    size_t m_listSlot = 0;  // in the file's list of references
};

} // namespace Engine::Graphics::SprFile
