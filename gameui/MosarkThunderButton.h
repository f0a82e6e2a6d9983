#pragma once
// A game button known to the registry by name and conversions only: it is
// registered without a constructor, so none is ever made by name.

#include "controls/Button.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkThunderButton : public Engine::Controls::CButton, public CMosarkBaseControl {};
