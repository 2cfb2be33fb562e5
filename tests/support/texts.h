#pragma once
#include <windows.h>

#include <string>

// Texts are read wide and compared as the program's own code page 1252
// literals, so that a test reads the same on a system of another code page.
inline std::string Cp1252(const wchar_t* text)
{
    char narrow[1024] = "";
    WideCharToMultiByte(1252, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}
