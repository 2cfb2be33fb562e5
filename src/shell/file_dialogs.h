#pragma once
#include <windows.h>

#include <string>

// The open and save dialogs of the file commands. Each fills path and answers
// true only when the user chose a file; path is left empty otherwise. Paths
// are wide and whole, so that any folder can be chosen. A path longer than
// capacity characters is told, as not chosen.

// BitmapFile: a picture to import, bitmap or PNG.
enum FileKind { IconOrCursorFile, BitmapFile };

// The longest path the system's file functions take.
const DWORD kLongestPath = 32768;

bool ChooseFileToSave(HWND owner, std::wstring& path, DWORD capacity = kLongestPath);
bool ChooseFileToOpen(HWND owner, std::wstring& path, FileKind kind, DWORD capacity = kLongestPath);

extern const char* const PathTooLongText;
