#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Small owners and whole-or-nothing transfers for the document's file readers
// and writer.

// Owns a file handle and closes it on every path.
class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { if (Ok()) CloseHandle(handle_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    operator HANDLE() const { return handle_; }
    bool Ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Closes now and tells whether the system accepted the last of the data.
    bool Close()
    {
        bool closed = Ok() && CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }
private:
    HANDLE handle_;
};

// A zeroed block of the process heap, released on every path. A request for
// no bytes still gets a block, so that a null block only ever means no memory.
class HeapBlock
{
public:
    explicit HeapBlock(SIZE_T bytes)
        : data_(static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1))) {}
    ~HeapBlock() { if (data_) HeapFree(GetProcessHeap(), 0, data_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    BYTE* Get() const { return data_; }
    bool Ok() const { return data_ != nullptr; }
private:
    BYTE* data_;
};

// The form of path that the file functions take whatever its length: past
// MAX_PATH, only the extended form (\\?\) reaches a file on every system.
std::wstring UsablePath(const wchar_t* path);

// An existing file opened for reading, which others may read meanwhile;
// INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenForReading(const wchar_t* path);

// Moves the file position to offset bytes from the start.
bool SeekTo(HANDLE file, DWORD offset);

// False unless every byte asked for was transferred: a short file is refused
// like a broken one.
bool ReadExactly(HANDLE file, void* buffer, DWORD bytes);
bool WriteExactly(HANDLE file, const void* buffer, DWORD bytes);

// Puts bytes in place of the file at path, or makes it, atomically: the file is
// either as it was or holds every byte. False, with nothing changed, otherwise.
// An existing file keeps its attributes, security and other streams; a link
// keeps naming its file, which is the one replaced. The bytes go first to a
// temporary file beside the target, named with kTemporaryPrefix; those that
// earlier saves left behind are removed once stale.
bool ReplaceFileWith(const wchar_t* path, const std::vector<BYTE>& bytes);

extern const wchar_t kTemporaryPrefix[];
