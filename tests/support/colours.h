#pragma once
// Colours the tests paint with and expect to see back.
#include <windows.h>

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
