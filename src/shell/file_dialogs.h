#pragma once
#include <windows.h>

// The open and save dialogs of the file commands. Each fills buffer (MAX_PATH
// characters) and answers true only when the user chose a file; buffer is
// left empty otherwise.

enum FileKind { IconOrCursorFile, BitmapFile };

bool ChooseFileToSave(HWND owner, char* buffer);
bool ChooseFileToOpen(HWND owner, char* buffer, FileKind kind);
