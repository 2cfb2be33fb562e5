#include "document/file_io.h"

#include <shlwapi.h>

#include <cwctype>

namespace {

const wchar_t kExtendedPrefix[] = L"\\\\?\\";
const wchar_t kTemporaryExtension[] = L".tmp";
const size_t kUniqueDigits = 8;
const DWORD kCarriedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Long enough that a save between closing its temporary file and replacing
// the target with it is over; a killed save's file is older.
const ULONGLONG kStaleAfter = 5ull * 60 * 10000000;  // in 100 ns

bool IsExtended(const std::wstring& path)
{
    return path.compare(0, 4, kExtendedPrefix) == 0;
}

// The form that reaches a file past MAX_PATH on every system: the full path
// behind the extended prefix, which also turns off the system's own clean-up
// of the path, hence made from the full path.
std::wstring ExtendedPath(const std::wstring& path)
{
    if (IsExtended(path))
        return path;
    std::wstring full(path.size() + MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathNameW(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    }
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return kExtendedPrefix + full;
}

} // namespace

const wchar_t kTemporaryPrefix[] = L"~vemiro-";

std::wstring UsablePath(const wchar_t* path)
{
    const std::wstring whole = path ? path : L"";
    return whole.size() < MAX_PATH ? whole : ExtendedPath(whole);
}

HANDLE OpenForReading(const wchar_t* path)
{
    return CreateFileW(UsablePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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

typedef DWORD(WINAPI* FinalPathFunction)(HANDLE, LPWSTR, DWORD, DWORD);

// Came with Windows Vista, as did links to files: looked up at run time, so
// that older systems, which have no such links to follow, still start.
FinalPathFunction FinalPathOfHandle()
{
    return reinterpret_cast<FinalPathFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
}

// The file a save really goes to: the one a link names, so that the link
// stays a link. A path the system cannot resolve is taken as it is, unless it
// is a link: a link that leads nowhere refuses the save (empty) rather than
// being replaced by a file.
std::wstring FinalTarget(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool link = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    const FinalPathFunction finalPath = FinalPathOfHandle();
    if (!finalPath)
        return path;
    FileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::wstring final(file.Ok() ? MAX_PATH : 0, L'\0');
    DWORD length = file.Ok() ? finalPath(file, &final[0], DWORD(final.size()), 0) : 0;
    if (length >= final.size() && length > 0) {
        final.resize(length + 1);
        length = finalPath(file, &final[0], DWORD(final.size()), 0);
    }
    if (length == 0 || length >= final.size())
        return link ? std::wstring() : path;
    final.resize(length);
    return final;
}

// One of the editor's own temporary names, and no other file's: the prefix,
// the hexadecimal unique part, the extension. The pattern alone would also
// match through short names.
bool IsTemporaryName(const wchar_t* name)
{
    const std::wstring whole = name;
    const size_t prefix = lstrlenW(kTemporaryPrefix), extension = lstrlenW(kTemporaryExtension);
    if (whole.size() != prefix + kUniqueDigits + extension || whole.compare(0, prefix, kTemporaryPrefix) != 0
        || lstrcmpiW(whole.c_str() + prefix + kUniqueDigits, kTemporaryExtension) != 0)
        return false;
    for (size_t i = prefix; i < prefix + kUniqueDigits; ++i)
        if (!iswxdigit(whole[i]))
            return false;
    return true;
}

ULONGLONG Ticks(const FILETIME& time)
{
    return ULONGLONG(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// Temporary files that saves killed part-way left in folder. A file some
// process still holds open (another editor saving right now) cannot be
// opened without sharing, and a recent one may be about to replace its
// target: both are left. Deleted on closing, so nothing can open the file
// between the test and the removal.
void RemoveStaleTemporaries(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const std::wstring pattern = folder + kTemporaryPrefix + L"*" + kTemporaryExtension;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryName(found.cFileName)
            || Ticks(now) < Ticks(found.ftLastWriteTime) + kStaleAfter)
            continue;
        FileHandle stale(CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new file in folder for the document to go to first. Never an existing file.
HANDLE CreateTemporaryIn(const std::wstring& folder, std::wstring& temporary)
{
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t unique[16];
        wsprintfW(unique, L"%08lx", static_cast<unsigned long>((seed + attempt) * 2654435761u));
        temporary = folder + kTemporaryPrefix + unique + kTemporaryExtension;
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// With its last separator.
std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, size_t(PathFindFileNameW(path.c_str()) - path.c_str()));
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An existing file is replaced by the system's own replacement, which keeps
// what belongs to the file rather than to its bytes: attributes, security,
// other streams. Where that fails with the target untouched (a file system
// without it), the plain move saves all the same. A new file is moved in.
bool PutInPlace(const std::wstring& temporary, const std::wstring& target)
{
    if (Exists(target)
        && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

// The bytes go to a file of their own beside the target, which replaces it only
// once every byte is on disk: a failed write never costs the user the file they
// had. A read-only file is not replaced, as opening it for writing would be
// refused (Wine's rename would replace it anyway).
bool ReplaceFileWith(const wchar_t* path, const std::vector<BYTE>& bytes)
{
    std::wstring target = FinalTarget(UsablePath(path));
    if (target.empty() || PathFindFileNameW(target.c_str()) == target.c_str() + target.size())
        return false;
    // Wine's replacement would put the file in a folder's place.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::wstring folder = FolderOf(target);
    // The temporary name may be longer than the target's own.
    const size_t temporaryName = lstrlenW(kTemporaryPrefix) + kUniqueDigits + lstrlenW(kTemporaryExtension);
    if (folder.size() + temporaryName >= MAX_PATH && !IsExtended(target)) {
        target = ExtendedPath(target);
        folder = FolderOf(target);
    }
    RemoveStaleTemporaries(folder);
    const bool existed = Exists(target);
    std::wstring temporary;
    FileHandle file(CreateTemporaryIn(folder, temporary));
    if (!file.Ok())
        return false;
    bool written = WriteExactly(file, bytes.data(), DWORD(bytes.size())) && FlushFileBuffers(file);
    written = file.Close() && written;
    // The system's replacement carries these too, but not every system's.
    if (written && existed)
        SetFileAttributesW(temporary.c_str(), attributes & kCarriedAttributes);
    if (written && PutInPlace(temporary, target))
        return true;
    // A replacement that failed half-way may have removed the target: the
    // temporary file then holds the only copy on disk, and stays.
    if (!written || !existed || Exists(target))
        DeleteFileW(temporary.c_str());
    return false;
}
