#pragma once
#include <windows.h>

#include <vector>

// Why a file's bytes could not all be had.
enum class WholeFileRead { Read, Unreadable, TooLarge, NoMemory };

// Reads the whole file at path into bytes, unless it holds more than most
// bytes: the readers then parse memory, never a file position.
WholeFileRead ReadBoundedFile(const wchar_t* path, DWORD most, std::vector<BYTE>& bytes);
