#include "document/recovery_store.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "document/file_io.h"

namespace {

const char* const kLockName = "lock";
const char* const kRecordName = "record.txt";
const char* const kCopyNames[] = { "copy.ico", "copy.cur" };
const char* const kRecordHeading = "Vemiro recovery 1";

std::string Join(const std::string& folder, const char* name)
{
    return folder + "\\" + name;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every folder down to path, as CreateDirectory makes only the last one.
bool MakeFolders(const std::string& path)
{
    for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
        const std::string part = path.substr(0, at);
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::string::npos)
            return true;
    }
}

// A lock nobody holds opens; one an editor keeps open is refused to others.
bool HeldByALiveEditor(const std::string& folder)
{
    HANDLE lock = CreateFileA(Join(folder, kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock != INVALID_HANDLE_VALUE) {
        CloseHandle(lock);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

std::string ReadText(const std::string& path)
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
    orphan.originalPath = path.substr(5);
    return true;
}

ULONGLONG WrittenAt(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

RecoveryStore::RecoveryStore(const std::string& root) : root_(root), worker_([this] { Work(); })
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
    DeleteFileA(Join(folder_, kLockName).c_str());
    RemoveDirectoryA(folder_.c_str());
    folder_.clear();
}

bool RecoveryStore::Claim()
{
    if (!folder_.empty())
        return true;
    char name[32];
    wsprintfA(name, "%lu-%08lx", GetCurrentProcessId(), GetTickCount());
    const std::string folder = Join(root_, name);
    if (root_.empty() || !MakeFolders(folder))
        return false;
    lock_ = CreateFileA(Join(folder, kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock_ == INVALID_HANDLE_VALUE) {
        RemoveDirectoryA(folder.c_str());
        return false;
    }
    folder_ = folder;
    return true;
}

void RecoveryStore::Write(std::vector<BYTE> bytes, const char* extension, const std::string& originalPath,
                          int currentImage)
{
    if (!Claim())
        return;
    Job job;
    job.bytes = std::move(bytes);
    job.extension = extension;
    job.record = std::string(kRecordHeading) + "\nimage " + std::to_string(currentImage) + "\npath " + originalPath +
                 "\n";
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
    const std::string copy = Join(folder_, job.extension == ".cur" ? kCopyNames[1] : kCopyNames[0]);
    if (!ReplaceFileWith(copy.c_str(), job.bytes))
        return;
    for (const char* name : kCopyNames)
        if (Join(folder_, name) != copy)
            DeleteFileA(Join(folder_, name).c_str());
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
    for (const char* name : kCopyNames)
        DeleteFileA(Join(folder_, name).c_str());
    DeleteFileA(Join(folder_, kRecordName).c_str());
    std::lock_guard<std::mutex> guard(mutex_);
    copy_.clear();
}

std::string RecoveryStore::GetCopyPath() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return copy_;
}

std::vector<RecoveryStore::Orphan> RecoveryStore::FindOrphans() const
{
    std::vector<Orphan> orphans;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(root_, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return orphans;
    do {
        const std::string name = found.cFileName;
        const std::string folder = Join(root_, name.c_str());
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == ".." || folder == folder_
            || HeldByALiveEditor(folder))
            continue;
        Orphan orphan;
        orphan.folder = folder;
        for (const char* copy : kCopyNames)
            if (Exists(Join(folder, copy)))
                orphan.copy = Join(folder, copy);
        if (orphan.copy.empty() || !ParseRecord(ReadText(Join(folder, kRecordName)), orphan)) {
            Remove(orphan);  // an editor that stopped before its first copy
            continue;
        }
        orphans.push_back(orphan);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(orphans.begin(), orphans.end(),
              [](const Orphan& a, const Orphan& b) { return WrittenAt(a.copy) < WrittenAt(b.copy); });
    return orphans;
}

std::string RecoveryStore::Adopt(const Orphan& orphan)
{
    if (!Claim())
        return std::string();
    Discard();
    const size_t slash = orphan.copy.find_last_of('\\');
    const std::string copy = Join(folder_, orphan.copy.substr(slash + 1).c_str());
    if (!MoveFileExA(orphan.copy.c_str(), copy.c_str(), MOVEFILE_REPLACE_EXISTING)
        || !MoveFileExA(Join(orphan.folder, kRecordName).c_str(), Join(folder_, kRecordName).c_str(),
                        MOVEFILE_REPLACE_EXISTING))
        return std::string();
    Remove(orphan);
    std::lock_guard<std::mutex> guard(mutex_);
    copy_ = copy;
    return copy;
}

// Everything in the folder goes, a temporary file left by a write cut short too.
void RecoveryStore::Remove(const Orphan& orphan)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Join(orphan.folder, "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(Join(orphan.folder, found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(orphan.folder.c_str());
}
