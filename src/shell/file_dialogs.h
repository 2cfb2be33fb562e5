#pragma once
#include <windows.h>

// The open and save dialogs of the file commands. Each fills buffer (MAX_PATH
// characters) and answers true only when the user chose a file; buffer is
// left empty otherwise. Paths are wide, so that any folder can be chosen.

enum FileKind { IconOrCursorFile, BitmapFile };

bool ChooseFileToSave(HWND owner, wchar_t* buffer);
bool ChooseFileToOpen(HWND owner, wchar_t* buffer, FileKind kind);
