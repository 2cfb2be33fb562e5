// Finding the copies of editors that are gone: the other half of the store.
#include "document/recovery_store.h"

#include <algorithm>
#include <new>
#include <utility>

#include "document/file_io.h"
#include "document/icon_document.h"
#include "document/recovery_files.h"

using namespace recovery_files;

namespace {

const wchar_t* const kOldLockName = L"lock";   // inside the folder, as editors of 1.4 keep it
const wchar_t* const kAsideName = L"Copies illisibles";

// An editor of the former layout keeps its lock inside its folder.
bool HeldInside(const std::wstring& folder)
{
    HANDLE lock = OpenLock(Join(folder, kOldLockName), OPEN_EXISTING);
    if (lock != INVALID_HANDLE_VALUE) {
        CloseHandle(lock);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

std::string ReadText(const std::wstring& path)
{
    FileHandle file(OpenForReading(path.c_str()));
    const DWORD size = file.Ok() ? GetFileSize(file, nullptr) : 0;
    if (size == 0 || size > 64 * 1024)
        return std::string();
    std::string text(size, '\0');
    return ReadExactly(file, &text[0], size) ? text : std::string();
}

ULONGLONG WrittenAt(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Both names exist only when an editor stopped between writing one and
// deleting the other: the later one is the work.
std::wstring NewestCopy(const std::wstring& folder)
{
    std::wstring newest;
    for (const wchar_t* name : kCopyNames) {
        const std::wstring copy = Join(folder, name);
        if (Exists(copy) && (newest.empty() || WrittenAt(copy) > WrittenAt(newest)))
            newest = copy;
    }
    return newest;
}

// A copy that does not open might still be someone's work: it is moved where
// nobody offers it again, named after its folder. Answers where it lies now.
std::wstring SetAside(const std::wstring& root, const std::wstring& name, const std::wstring& copy)
{
    const std::wstring aside = Join(root, kAsideName);
    CreateDirectoryW(aside.c_str(), nullptr);
    const std::wstring target = Join(aside, (name + L"-" + copy.substr(copy.find_last_of(L'\\') + 1)).c_str());
    return MoveFileExW(copy.c_str(), target.c_str(), 0) ? target : copy;
}

}  // namespace

std::vector<RecoveryStore::Orphan> RecoveryStore::FindOrphans(std::vector<std::wstring>* setAside) const
{
    std::vector<Orphan> orphans;
    std::vector<std::wstring> names;
    try {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(Join(root_, L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return orphans;
        do {
            const std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L".." &&
                name != kAsideName && Join(root_, name.c_str()) != folder_)
                names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);

        for (const std::wstring& name : names) {
            Orphan orphan;
            orphan.folder = Join(root_, name.c_str());
            if (HeldInside(orphan.folder))
                continue;
            orphan.lock = Lock(OpenLock(orphan.folder + kLockSuffix, OPEN_ALWAYS));
            if (!orphan.lock.Held())
                continue;  // its editor runs, or another one is offering it
            orphan.copy = NewestCopy(orphan.folder);
            // Only a folder that holds no copy goes without a word.
            if (orphan.copy.empty()) {
                RemoveWithLock(orphan.folder, orphan.lock);
                continue;
            }
            IconDocument probe;
            const OpenFailure why = probe.OpenFile(orphan.copy.c_str());
            if (why != OpenFailureNone) {
                if (why == OpenFailureOutOfMemory)
                    continue;  // it may well open later: left as it is
                const std::wstring aside = SetAside(root_, name, orphan.copy);
                if (setAside)
                    setAside->push_back(aside);
                if (aside != orphan.copy)
                    RemoveWithLock(orphan.folder, orphan.lock);
                continue;
            }
            // Without a readable record: untitled, on its first image.
            ParseRecord(ReadText(Join(orphan.folder, kRecordName)), orphan.record);
            orphans.push_back(std::move(orphan));
        }
        std::stable_sort(orphans.begin(), orphans.end(), [](const Orphan& a, const Orphan& b) {
            return WrittenAt(a.copy) < WrittenAt(b.copy);
        });
    } catch (const std::bad_alloc&) {
        // What was found so far is offered; the rest stays for the next start.
    }
    return orphans;
}

void RecoveryStore::Remove(Orphan& orphan)
{
    RemoveWithLock(orphan.folder, orphan.lock);
}
