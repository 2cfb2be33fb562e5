#include "document/whole_file.h"

#include <new>

#include "document/file_io.h"

WholeFileRead ReadBoundedFile(const wchar_t* path, DWORD most, std::vector<BYTE>& bytes)
{
    if (!path || !path[0])
        return WholeFileRead::Unreadable;
    FileHandle file(OpenForReading(path));
    LARGE_INTEGER size;
    if (!file.Ok() || !GetFileSizeEx(file, &size))
        return WholeFileRead::Unreadable;
    if (size.QuadPart > LONGLONG(most))
        return WholeFileRead::TooLarge;
    try {
        bytes.resize(size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return WholeFileRead::NoMemory;
    }
    // A file that shrank meanwhile is read short, and judged as it is now.
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr))
        return WholeFileRead::Unreadable;
    bytes.resize(got);
    return WholeFileRead::Read;
}
