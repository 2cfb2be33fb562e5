#include "document/recovery_store.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "document/file_io.h"

namespace {

const wchar_t* const kLockName = L"lock";
const wchar_t* const kRecordName = L"record.txt";
const wchar_t* const kCopyNames[] = { L"copy.ico", L"copy.cur" };
const char* const kRecordHeading = "Vemiro recovery 1";

std::wstring Join(const std::wstring& folder, const wchar_t* name)
{
    return folder + L"\\" + name;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The record keeps the document's path in UTF-8, whatever its script.
std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::wstring FromUtf8(const std::string& utf8)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(chars), L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), &text[0], chars);
    return text;
}

// Every folder down to path, as CreateDirectory makes only the last one.
bool MakeFolders(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        const std::wstring part = path.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::wstring::npos)
            return true;
    }
}

// A lock nobody holds opens; one an editor keeps open is refused to others.
bool HeldByALiveEditor(const std::wstring& folder)
{
    HANDLE lock = CreateFileW(Join(folder, kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// The record: a heading line, the current image and the document's own path.
bool ParseRecord(const std::string& text, RecoveryStore::Orphan& orphan)
{
    std::istringstream lines(text);
    std::string heading, image, path;
    if (!std::getline(lines, heading) || heading != kRecordHeading || !std::getline(lines, image)
        || image.compare(0, 6, "image ") != 0 || !std::getline(lines, path) || path.compare(0, 5, "path ") != 0)
        return false;
    orphan.currentImage = std::atoi(image.c_str() + 6);
    orphan.originalPath = FromUtf8(path.substr(5));
    return true;
}

ULONGLONG WrittenAt(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

RecoveryStore::RecoveryStore(const std::wstring& root) : root_(root), worker_([this] { Work(); })
{
}

RecoveryStore::~RecoveryStore()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
        pending_.clear();
    }
    wake_.notify_all();
    worker_.join();
    Release();
}

void RecoveryStore::Release()
{
    Discard();
    if (folder_.empty())
        return;
    CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
    DeleteFileW(Join(folder_, kLockName).c_str());
    RemoveDirectoryW(folder_.c_str());
    folder_.clear();
}

bool RecoveryStore::Claim()
{
    if (!folder_.empty())
        return true;
    wchar_t name[32];
    wsprintfW(name, L"%lu-%08lx", GetCurrentProcessId(), GetTickCount());
    const std::wstring folder = Join(root_, name);
    if (root_.empty() || !MakeFolders(folder))
        return false;
    lock_ = CreateFileW(Join(folder, kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock_ == INVALID_HANDLE_VALUE) {
        RemoveDirectoryW(folder.c_str());
        return false;
    }
    folder_ = folder;
    return true;
}

void RecoveryStore::Write(std::vector<BYTE> bytes, const wchar_t* extension, const std::wstring& originalPath,
                          int currentImage)
{
    if (!Claim())
        return;
    Job job;
    job.bytes = std::move(bytes);
    job.extension = extension;
    job.record = std::string(kRecordHeading) + "\nimage " + std::to_string(currentImage) + "\npath " +
                 Utf8(originalPath) + "\n";
    {
        std::lock_guard<std::mutex> guard(mutex_);
        pending_.clear();
        pending_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void RecoveryStore::Work()
{
    std::unique_lock<std::mutex> guard(mutex_);
    for (;;) {
        wake_.wait(guard, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_)
            return;
        Job job = std::move(pending_.front());
        pending_.clear();
        busy_ = true;
        guard.unlock();
        Store(job);
        guard.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

// The copy first, then its record: each replaces the last one whole.
void RecoveryStore::Store(const Job& job)
{
    const std::wstring copy = Join(folder_, job.extension == L".cur" ? kCopyNames[1] : kCopyNames[0]);
    if (!ReplaceFileWith(copy.c_str(), job.bytes))
        return;
    for (const wchar_t* name : kCopyNames)
        if (Join(folder_, name) != copy)
            DeleteFileW(Join(folder_, name).c_str());
    const std::vector<BYTE> record(job.record.begin(), job.record.end());
    ReplaceFileWith(Join(folder_, kRecordName).c_str(), record);
    std::lock_guard<std::mutex> guard(mutex_);
    copy_ = copy;
}

void RecoveryStore::Flush()
{
    std::unique_lock<std::mutex> guard(mutex_);
    idle_.wait(guard, [this] { return pending_.empty() && !busy_; });
}

void RecoveryStore::Discard()
{
    std::unique_lock<std::mutex> guard(mutex_);
    pending_.clear();
    idle_.wait(guard, [this] { return !busy_; });
    guard.unlock();
    DeleteCopy();
}

void RecoveryStore::DeleteCopy()
{
    if (folder_.empty())
        return;
    for (const wchar_t* name : kCopyNames)
        DeleteFileW(Join(folder_, name).c_str());
    DeleteFileW(Join(folder_, kRecordName).c_str());
    std::lock_guard<std::mutex> guard(mutex_);
    copy_.clear();
}

std::wstring RecoveryStore::GetCopyPath() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return copy_;
}

std::vector<RecoveryStore::Orphan> RecoveryStore::FindOrphans() const
{
    std::vector<Orphan> orphans;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(root_, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return orphans;
    do {
        const std::wstring name = found.cFileName;
        const std::wstring folder = Join(root_, name.c_str());
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L".." || folder == folder_
            || HeldByALiveEditor(folder))
            continue;
        Orphan orphan;
        orphan.folder = folder;
        for (const wchar_t* copy : kCopyNames)
            if (Exists(Join(folder, copy)))
                orphan.copy = Join(folder, copy);
        if (orphan.copy.empty() || !ParseRecord(ReadText(Join(folder, kRecordName)), orphan)) {
            Remove(orphan);  // an editor that stopped before its first copy
            continue;
        }
        orphans.push_back(orphan);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(orphans.begin(), orphans.end(),
              [](const Orphan& a, const Orphan& b) { return WrittenAt(a.copy) < WrittenAt(b.copy); });
    return orphans;
}

std::wstring RecoveryStore::Adopt(const Orphan& orphan)
{
    if (!Claim())
        return std::wstring();
    Discard();
    const size_t slash = orphan.copy.find_last_of(L'\\');
    const std::wstring copy = Join(folder_, orphan.copy.substr(slash + 1).c_str());
    if (!MoveFileExW(orphan.copy.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING)
        || !MoveFileExW(Join(orphan.folder, kRecordName).c_str(), Join(folder_, kRecordName).c_str(),
                        MOVEFILE_REPLACE_EXISTING))
        return std::wstring();
    Remove(orphan);
    std::lock_guard<std::mutex> guard(mutex_);
    copy_ = copy;
    return copy;
}

// Everything in the folder goes, a temporary file left by a write cut short too.
void RecoveryStore::Remove(const Orphan& orphan)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Join(orphan.folder, L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(Join(orphan.folder, found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(orphan.folder.c_str());
}
