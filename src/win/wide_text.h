#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

// The program's texts are code page 1252 bytes; paths are wide. A message that
// names a file is put together in wide characters, so that a path in any
// script shows as it is.

// A text of the program, from code page 1252 whatever the system's own.
std::wstring WideText(const char* text);

// format (code page 1252) with each %s replaced, in order, by the next of parts.
std::wstring FormatWide(const char* format, std::initializer_list<std::wstring> parts);

// A message box of the program's texts, shown through the wide call so that
// its accents survive any system code page; answers as MessageBoxW does.
int MessageBoxText(HWND owner, const char* text, const char* caption, UINT style);
