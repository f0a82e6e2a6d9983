#pragma once
// The continue-game menu: a large dialog under a type of its own.

#include "gameui/MosarkMaxiDlg.h"

class CMosarkMenuContinueGameDlg : public CMosarkMaxiDlg {};
