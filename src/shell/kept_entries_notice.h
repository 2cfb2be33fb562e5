#pragma once
#include <windows.h>

#include <vector>

#include "document/kept_entry.h"


// Tells, once at open, how many images of the file are kept without being
// editable, why, and that they are written back unchanged; says nothing when
// there are none. The window shows the opened document behind the message.
void TellAboutKeptEntries(HWND mainWindow, const std::vector<KeptEntry>& kept);
