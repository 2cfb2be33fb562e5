#include "document/recovery_store.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "document/file_io.h"
#include "document/recovery_files.h"

namespace {

const int kNameAttempts = 100;

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

}  // namespace

using namespace recovery_files;

RecoveryStore::Lock& RecoveryStore::Lock::operator=(Lock&& other) noexcept
{
    if (this != &other) {
        Close();
        std::swap(handle_, other.handle_);
    }
    return *this;
}

void RecoveryStore::Lock::Close()
{
    if (Held())
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

RecoveryStore::RecoveryStore(const std::wstring& root) : root_(root)
{
}

RecoveryStore::~RecoveryStore()
{
    if (worker_.joinable()) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopping_ = true;
            pending_.clear();
        }
        wake_.notify_all();
        worker_.join();
    }
    Release();
}

void RecoveryStore::NotifyFailures(HWND window, UINT message)
{
    std::lock_guard<std::mutex> guard(mutex_);
    notified_ = window;
    notifyMessage_ = message;
}

void RecoveryStore::TellFailure() const
{
    if (notified_)
        PostMessageW(notified_, notifyMessage_, 0, 0);
}

void RecoveryStore::Release()
{
    Discard();
    if (folder_.empty())
        return;
    RemoveWithLock(folder_, lock_);
    folder_.clear();
}

// Two stores may start within one tick of the clock: a name whose lock is
// taken is left to its owner and the next one tried.
bool RecoveryStore::Claim()
{
    if (!folder_.empty())
        return true;
    if (root_.empty() || !MakeFolders(root_))
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        wchar_t name[48];
        wsprintfW(name, L"%lu-%08lx-%d", GetCurrentProcessId(), GetTickCount(), attempt);
        const std::wstring folder = Join(root_, name);
        Lock lock(OpenLock(folder + kLockSuffix, CREATE_NEW));
        if (!lock.Held()) {
            if (Exists(folder + kLockSuffix))
                continue;
            return false;
        }
        if (!CreateDirectoryW(folder.c_str(), nullptr)) {
            const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
            lock.Close();
            DeleteFileW((folder + kLockSuffix).c_str());
            if (taken)
                continue;
            return false;
        }
        lock_ = std::move(lock);
        folder_ = folder;
        return true;
    }
    return false;
}

// Started with the first copy rather than with the store, so that a thread the
// system refuses is a copy refused, not a failure at start.
bool RecoveryStore::StartWorker()
{
    if (worker_.joinable())
        return true;
    try {
        worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool RecoveryStore::Write(std::vector<BYTE> bytes, const wchar_t* extension, const RecoveryRecord& record)
{
    if (!Claim() || !StartWorker())
        return false;
    try {
        Job job;
        job.bytes = std::move(bytes);
        job.extension = extension;
        if (!RecordText(record, job.record))
            return false;
        std::lock_guard<std::mutex> guard(mutex_);
        pending_.clear();
        pending_.push_back(std::move(job));
    } catch (const std::exception&) {
        return false;
    }
    wake_.notify_one();
    return true;
}

bool RecoveryStore::WriteNow(std::vector<BYTE> bytes, const wchar_t* extension, const RecoveryRecord& record)
{
    if (!Write(std::move(bytes), extension, record))
        return false;
    Flush();
    std::lock_guard<std::mutex> guard(mutex_);
    return lastStored_;
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
        bool stored = false;
        try {
            stored = Store(job);
        } catch (const std::exception&) {
            stored = false;
        }
        guard.lock();
        busy_ = false;
        lastStored_ = stored;
        if (!stored)
            TellFailure();
        idle_.notify_all();
    }
}

// The record first, then the copy, each replacing the last one whole: a stop
// between the two leaves the former copy, or none, never a copy that a record
// does not describe. The copy is written even when its record is not.
bool RecoveryStore::Store(const Job& job)
{
    const std::wstring copy = Join(folder_, job.extension == L".cur" ? kCopyNames[1] : kCopyNames[0]);
    const std::vector<BYTE> record(job.record.begin(), job.record.end());
    const bool recorded = ReplaceFileWith(Join(folder_, kRecordName).c_str(), record);
    if (!ReplaceFileWith(copy.c_str(), job.bytes))
        return false;
    for (const wchar_t* name : kCopyNames)
        if (Join(folder_, name) != copy)
            DeleteFileW(Join(folder_, name).c_str());
    std::lock_guard<std::mutex> guard(mutex_);
    copy_ = copy;
    return recorded;
}

void RecoveryStore::Flush()
{
    std::unique_lock<std::mutex> guard(mutex_);
    idle_.wait(guard, [this] { return pending_.empty() && !busy_; });
}

void RecoveryStore::Discard()
{
    {
        std::unique_lock<std::mutex> guard(mutex_);
        pending_.clear();
        idle_.wait(guard, [this] { return !busy_; });
    }
    DeleteCopy();
}

// The copies before their record: a stop between leaves a copy offered with
// neutral values rather than a record of nothing.
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
