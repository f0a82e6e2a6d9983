#include "gameui/MosarkPic.h"

#include "controls/RenderContext.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteRef.h"

void CMosarkPic::Draw(Engine::Controls::CRenderContext& context) {
    if (!m_pPicture) return;
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    m_pPicture->SetFrame(m_nPictureFrame);
    GameUi::QueueSpriteAtF(context.GetParams(), *m_pPicture, 0.0f, 0.0f, WithAlpha(0xFFFFFFu, GetAlpha(m_fPictureAlpha)));
    context.FlushIfPending();
    context.DisableRenderSwitch3();
}
