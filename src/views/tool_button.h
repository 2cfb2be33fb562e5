#pragma once
#include <windows.h>

// The owner-drawn tool and effect button, class "QzButtonCtrlClass32".
const UINT TBM_SETFACECOLOUR = WM_USER + 1;

ATOM RegisterToolButtonClass();
// A lighter (delta > 0) or darker variant of a colour, through YCbCr.
COLORREF ShiftLuma(COLORREF colour, short delta);
