#pragma once
// The names and file steps shared by the two halves of the recovery store:
// writing this editor's copies, and finding those of editors that are gone.
#include <windows.h>

#include <string>

#include "document/recovery_store.h"

namespace recovery_files {

const wchar_t* const kLockSuffix = L".lock";
const wchar_t* const kRecordName = L"record.txt";
const wchar_t* const kCopyNames[] = { L"copy.ico", L"copy.cur" };

inline std::wstring Join(const std::wstring& folder, const wchar_t* name)
{
    return folder + L"\\" + name;
}

inline bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Nobody else may open a lock while it is held.
inline HANDLE OpenLock(const std::wstring& path, DWORD disposition)
{
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The files of the folder, a temporary one left by a write cut short too, and
// then the folder; one that still holds anything stays.
inline void DeleteFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(folder, L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(Join(folder, found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The lock goes last, so that the folder is never seen without it.
inline void RemoveWithLock(const std::wstring& folder, RecoveryStore::Lock& lock)
{
    DeleteFolder(folder);
    lock.Close();
    if (!Exists(folder))
        DeleteFileW((folder + kLockSuffix).c_str());
}

}  // namespace recovery_files
