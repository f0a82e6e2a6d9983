#include "gameui/MosarkEdit.h"

void CMosarkEdit::CreateFromDescription(Engine::Controls::CControlsManager* manager, Ref parent,
                                        const Engine::Controls::CControlDescription* description,
                                        const Engine::Controls::CControlDescription* parentDescription, CString text,
                                        uint32_t style, int32_t id) {
    CEdit::CreateFromDescription(manager, std::move(parent), description, parentDescription, std::move(text), style, id);
    SetLimit(kMaxLength);
}
