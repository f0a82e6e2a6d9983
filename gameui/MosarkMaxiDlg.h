#pragma once
// The large game dialog. It opens in three timed phases: the rolled-up
// frame fades in, then unrolls from the middle like a scroll (the roller
// band travels up to the top edge while the body grows below it), then the
// children appear from the centre outwards.

#include "gameui/MosarkDlg.h"

class CMosarkMaxiDlg : public CMosarkDlg {
public:
    void Draw(Engine::Controls::CRenderContext& context) override;
    // t: seconds since the opening began. Sets the phase, the frame's
    // opacity and each game child's opacity by its distance from the
    // dialog's centre. A phase of zero or negative length counts as
    // complete; without game data the opening counts as finished.
    void SetFade(float t) override;
    bool IsMaxiDialog() const override { return true; }

    // Height of the roller band at the top of the dialog sprite.
    int32_t m_nBandHeight = 54;
    // 0 before the first SetFade, then 1, 2 or 3.
    int32_t m_nPhase = 0;
    // Size the drawing by the window rectangle instead of the description.
    bool m_bUseWindowRect = false;

private:
    float ChildOpacity(const CBaseControl& child, float p, float v, float q) const;
};
