#pragma once
// The small game dialog: known to the registry by name and base only; it
// cannot be created by name.

#include "gameui/MosarkDlg.h"

class CMosarkMiniDlg : public CMosarkDlg {};
