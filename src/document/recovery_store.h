#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/recovery_record.h"

// The recovery copies of the editors running, or that ran and stopped without
// saving, below one root folder. Each running editor owns a folder of its own,
// marked alive by a lock file beside it that it keeps open; a folder whose lock
// nobody holds was left by an editor that crashed, and its copy can be
// recovered. The lock is taken before its folder is made, so that no folder is
// ever seen without its owner.
//
// Writing happens on a worker thread, so that the editor never waits for the
// disk; the bytes are taken from the document beforehand, on the GUI thread.
class RecoveryStore
{
public:
    // An open lock file, closed with its owner.
    class Lock
    {
    public:
        Lock() = default;
        explicit Lock(HANDLE handle) : handle_(handle) {}
        Lock(Lock&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
        Lock& operator=(Lock&& other) noexcept;
        ~Lock() { Close(); }
        bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
        void Close();
    private:
        HANDLE handle_ = INVALID_HANDLE_VALUE;
    };

    // A copy left by an editor that is gone, read and found whole. Its lock is
    // held as long as the orphan lives, so that no other editor offers it too.
    struct Orphan
    {
        std::wstring folder;
        std::wstring copy;          // the document, an ordinary .ico or .cur file
        RecoveryRecord record;
        Lock lock;
    };

    explicit RecoveryStore(const std::wstring& root);
    ~RecoveryStore();                              // removes this editor's folder
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Where a write that failed on the worker is told: message posted to window.
    void NotifyFailures(HWND window, UINT message);
    // Queues a copy of the document (its file bytes, ".ico" or ".cur") and its
    // record; a copy still waiting is replaced. False when it cannot even be
    // queued (no folder can be made, no memory, no thread).
    bool Write(std::vector<BYTE> bytes, const wchar_t* extension, const RecoveryRecord& record);
    // Writes and waits: true once the copy and its record are on disk.
    bool WriteNow(std::vector<BYTE> bytes, const wchar_t* extension, const RecoveryRecord& record);
    // Waits for the writing in progress, then deletes this editor's copy.
    void Discard();
    // Waits until every queued copy is on disk (or failed).
    void Flush();
    // Deletes this editor's copy and folder; a later copy makes a new one.
    void Release();
    // This editor's current copy, empty while there is none on disk.
    std::wstring GetCopyPath() const;

    // The readable copies of editors that are gone, oldest first, each with
    // its lock held. A copy that does not open is moved aside, where it is
    // never offered again, and its new place added to setAside.
    std::vector<Orphan> FindOrphans(std::vector<std::wstring>* setAside = nullptr) const;
    // Removes the copy and its folder: declined, or taken over by this editor.
    static void Remove(Orphan& orphan);

private:
    struct Job
    {
        std::vector<BYTE> bytes;
        std::wstring extension;
        std::string record;        // UTF-8
    };
    bool Claim();                                  // this editor's folder and lock, made on first use
    bool StartWorker();
    void Work();
    bool Store(const Job& job);
    void DeleteCopy();
    void TellFailure() const;

    std::wstring root_;
    std::wstring folder_;
    Lock lock_;
    std::wstring copy_;                            // guarded by mutex_
    bool lastStored_ = false;                      // guarded by mutex_
    HWND notified_ = nullptr;
    UINT notifyMessage_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<Job> pending_;                     // at most one job waits
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;                           // started with the first copy
};
