#include "document/file_io.h"

#include <shlwapi.h>
#include <string.h>

HANDLE OpenForReading(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SeekTo(HANDLE file, DWORD offset)
{
    LONG high = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER
        || GetLastError() == NO_ERROR;
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

namespace {

// A new file beside the target for the document to go to first. The name is
// made here rather than by GetTempFileNameW, which refuses folders longer than
// MAX_PATH - 14: it is cut to the room the target's own name leaves, so that
// every path the file dialog accepts can be saved to. Never an existing file.
HANDLE CreateTemporaryBeside(const wchar_t* path, wchar_t* temporary)
{
    const size_t folder = size_t(PathFindFileNameW(path) - path);
    if (folder + 2 > MAX_PATH)
        return INVALID_HANDLE_VALUE;
    const size_t room = MAX_PATH - 1 - folder;
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[16];
        // The leading digits vary most, as a short name keeps only those.
        wsprintfW(name, L"~%08lx.tmp", static_cast<unsigned long>((seed + attempt) * 2654435761u));
        const size_t whole = size_t(lstrlenW(name)), length = room < whole ? room : whole;
        memcpy(temporary, path, folder * sizeof(wchar_t));
        memcpy(temporary + folder, name, length * sizeof(wchar_t));
        temporary[folder + length] = 0;
        HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

// The bytes go to a file of their own beside the target, which replaces it only
// once every byte is on disk: a failed write never costs the user the file they
// had. A read-only file is not replaced, as opening it for writing would be
// refused (Wine's rename would replace it anyway).
bool ReplaceFileWith(const wchar_t* path, const std::vector<BYTE>& bytes)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    wchar_t temporary[MAX_PATH];
    FileHandle file(CreateTemporaryBeside(path, temporary));
    if (!file.Ok())
        return false;
    bool written = WriteExactly(file, bytes.data(), DWORD(bytes.size())) && FlushFileBuffers(file);
    written = file.Close() && written;
    if (!written || !MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary);
        return false;
    }
    return true;
}
