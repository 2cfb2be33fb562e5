#include "document/file_io.h"

HANDLE OpenForReading(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadExactly(HANDLE file, void* buffer, DWORD bytes)
{
    DWORD got = 0;
    return ReadFile(file, buffer, bytes, &got, nullptr) && got == bytes;
}

bool WriteExactly(HANDLE file, const void* buffer, DWORD bytes)
{
    DWORD put = 0;
    return WriteFile(file, buffer, bytes, &put, nullptr) && put == bytes;
}
