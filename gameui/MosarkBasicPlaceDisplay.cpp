#include "gameui/MosarkBasicPlaceDisplay.h"

#include "placefile/PlaceFile.h"

CMosarkBasicPlaceDisplay::CMosarkBasicPlaceDisplay() = default;
CMosarkBasicPlaceDisplay::~CMosarkBasicPlaceDisplay() noexcept(false) = default;

void CMosarkBasicPlaceDisplay::Draw(Engine::Controls::CRenderContext& /*context*/) {
    if (m_pPlaceFile) m_pPlaceFile->Draw(0.0f, 0.0f, m_fOpacity);
}
