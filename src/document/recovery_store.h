#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The recovery copies of the editors running, or that ran and stopped without
// saving, below one root folder. Each running editor owns a folder of its own,
// marked alive by a lock file it keeps open; a folder whose lock nobody holds
// was left by an editor that crashed, and its copy can be recovered.
//
// Writing happens on a worker thread, so that the editor never waits for the
// disk; the bytes are taken from the document beforehand, on the GUI thread.
class RecoveryStore
{
public:
    // A copy left by an editor that is gone.
    struct Orphan
    {
        std::wstring folder;
        std::wstring copy;          // the document, an ordinary .ico or .cur file
        std::wstring originalPath;  // where the user meant it to go; empty if never saved
        int currentImage;
    };

    explicit RecoveryStore(const std::wstring& root);
    ~RecoveryStore();                              // removes this editor's folder
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Queues a copy of the document (its file bytes, ".ico" or ".cur") and the
    // record that goes with it; a copy still waiting is replaced.
    void Write(std::vector<BYTE> bytes, const wchar_t* extension, const std::wstring& originalPath, int currentImage);
    // Waits for the writing in progress, then deletes this editor's copy.
    void Discard();
    // Waits until every queued copy is on disk (or failed).
    void Flush();
    // Deletes this editor's copy and folder; a later copy makes a new one.
    void Release();
    // This editor's current copy, empty while there is none on disk.
    std::wstring GetCopyPath() const;

    // The copies of editors that are gone, oldest first.
    std::vector<Orphan> FindOrphans() const;
    // Moves an orphan's copy into this editor's folder (so that it stays
    // recoverable) and answers the path of the copy there; empty on failure.
    std::wstring Adopt(const Orphan& orphan);
    static void Remove(const Orphan& orphan);

private:
    struct Job
    {
        std::vector<BYTE> bytes;
        std::wstring extension;
        std::string record;        // UTF-8
    };
    bool Claim();                                  // this editor's folder and lock, made on first use
    void Work();
    void Store(const Job& job);
    void DeleteCopy();

    std::wstring root_;
    std::wstring folder_;
    HANDLE lock_ = INVALID_HANDLE_VALUE;
    std::wstring copy_;                            // guarded by mutex_
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<Job> pending_;                     // at most one job waits
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};
