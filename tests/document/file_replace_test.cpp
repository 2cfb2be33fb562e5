// What a save keeps of the file it replaces, the temporary files it leaves,
// and paths of any length.
#include "document/file_io.h"
#include "document_test_support.h"

using namespace doctest;

namespace {

std::vector<BYTE> SavedBytes(int seed)
{
    IconDocument document;
    document.AddNewImage(16, 4);
    PaintPattern(*document.GetCurrentImage(), seed);
    std::vector<BYTE> bytes;
    document.BuildFileBytes(IconFileKind::Icon, bytes);
    return bytes;
}

// Runs a Unix tool on the Unix name of a file, under Wine, and waits until
// the file is there or not as wanted (Wine may answer for a Unix process
// before it has run). False elsewhere, or when it did not happen.
bool RunOnUnixName(const char* tool, const std::string& arguments, const std::string& path, bool present)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    const UnixName unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(W(path).c_str()) : nullptr;
    std::string command = std::string(tool) + " " + arguments + " " + (name ? name : "");
    HeapFree(GetProcessHeap(), 0, name);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!name || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int wait = 0; wait < 100 && FileExists(path) != present; ++wait)
        Sleep(20);
    return FileExists(path) == present;
}

}  // namespace

// A replaced file keeps its attributes; a link stays a link and the file it
// names gets the bytes.
TEST(IconFileWrite, ReplacementKeepsAttributesAndFollowsLinks)
{
    const std::string folder = OutputFolder("replaced"), hidden = folder + "\\hidden.ico";
    const std::string real = folder + "\\real.ico", link = folder + "\\link.ico";
    for (const std::string& path : {hidden, real}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RunOnUnixName("Z:\\bin\\rm", "-f", link, false);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(WriteWholeFile(hidden, SavedBytes(1)));
    SetFileAttributesA(hidden.c_str(), kept);
    EXPECT_TRUE(ReplaceFileWith(W(hidden).c_str(), SavedBytes(2)));
    EXPECT_EQ(SavedBytes(2), ReadWholeFile(hidden));
    EXPECT_EQ(kept, GetFileAttributesA(hidden.c_str()) & kept);
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(WriteWholeFile(real, SavedBytes(1)));
    DeleteFileA(hidden.c_str());
    // Wine follows Unix links as Windows its own, which need a privilege to make.
    if (!RunOnUnixName("Z:\\bin\\ln", "-sfn real.ico", link, true)) {
        DeleteFileA(real.c_str());
        GTEST_SKIP() << "no link to a file can be made here";
    }
    EXPECT_TRUE(ReplaceFileWith(W(link).c_str(), SavedBytes(3)));
    EXPECT_EQ(SavedBytes(3), ReadWholeFile(real));
    EXPECT_EQ(SavedBytes(3), ReadWholeFile(link));
    RunOnUnixName("Z:\\bin\\rm", "-f", link, false);
    DeleteFileA(real.c_str());
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something left beside the files";
}

// A save killed part-way leaves its temporary file; the next save in that
// folder removes it, but no file another save may still be using, nor any
// file that is not one of the editor's own.
TEST(IconFileWrite, NextSaveRemovesStaleTemporaryFiles)
{
    const std::string folder = OutputFolder("stale"), target = folder + "\\target.ico";
    const std::string prefix = folder + "\\" + std::string(kTemporaryPrefix, kTemporaryPrefix + lstrlenW(kTemporaryPrefix));
    struct Case { std::string path; bool old, open, removed; };
    const Case cases[] = {
        {prefix + "0badf00d.tmp", true, false, true},
        {prefix + "1badf00d.tmp", true, true, false},   // another editor writing it
        {prefix + "2badf00d.tmp", false, false, false}, // just written, about to replace its target
        {prefix + "mine.tmp", true, false, false},
        {folder + "\\~0badf00d.tmp", true, false, false},
    };
    FILETIME hourAgo;
    GetSystemTimeAsFileTime(&hourAgo);
    ULARGE_INTEGER time = {{hourAgo.dwLowDateTime, hourAgo.dwHighDateTime}};
    time.QuadPart -= 36000000000ull;
    hourAgo = {time.LowPart, time.HighPart};
    std::vector<HANDLE> held;
    for (const Case& c : cases) {
        HANDLE file = CreateFileA(c.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << c.path;
        if (c.old)
            SetFileTime(file, nullptr, nullptr, &hourAgo);
        if (c.open)
            held.push_back(file);
        else
            CloseHandle(file);
    }
    EXPECT_TRUE(ReplaceFileWith(W(target).c_str(), SavedBytes(1)));
    for (HANDLE file : held)
        CloseHandle(file);
    for (const Case& c : cases) {
        EXPECT_EQ(c.removed, !FileExists(c.path)) << c.path;
        DeleteFileA(c.path.c_str());
    }
    DeleteFileA(target.c_str());
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something left beside the files";
}

// Folders on both sides of MAX_PATH, with the temporary name or the file's
// own crossing it, and an extended path: the document opens, keeps, shows and
// saves the whole path, and nothing is left beside the file.
TEST(IconFileWrite, PathsPastMaxPathAreKeptWhole)
{
    const std::wstring base = L"\\\\?\\" + W(OutputFolder("longest"));
    CreateDirectoryW((base + L"\\" + std::wstring(150, L'a')).c_str(), nullptr);
    for (size_t folderLength : {size_t(MAX_PATH - 24), size_t(MAX_PATH - 10), size_t(MAX_PATH - 1), size_t(MAX_PATH),
                                size_t(MAX_PATH + 40)}) {
        for (bool extended : {false, true}) {
            const std::wstring outer = base + L"\\" + std::wstring(150, L'a');
            ASSERT_LT(outer.size() - 4 + 1, folderLength) << "the build folder is too deep for this test";
            const size_t room = folderLength - (outer.size() - 4) - 1;
            const std::wstring inner = outer + L"\\" + std::wstring(room, L'b');
            ASSERT_EQ(folderLength, inner.size() - 4);
            CreateDirectoryW(inner.c_str(), nullptr);
            const std::wstring path = (extended ? inner : inner.substr(4)) + L"\\file.ico";
            IconDocument document;
            for (int image = 1; image <= 2; ++image) {
                ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
                EXPECT_EQ(SaveFailure::None, document.SaveDocumentTo(path.c_str())) << folderLength << extended << image;
                EXPECT_EQ(path, document.GetFilePath());
            }
            IconDocument reopened;
            EXPECT_EQ(OpenFailureNone, reopened.OpenFile(path.c_str())) << folderLength << extended;
            EXPECT_EQ(2, reopened.GetImageCount());
            EXPECT_EQ(path, reopened.GetFilePath());
            EXPECT_TRUE(DeleteFileW((inner + L"\\file.ico").c_str()));
            EXPECT_TRUE(RemoveDirectoryW(inner.c_str())) << "something left beside the file";
        }
    }
    RemoveDirectoryW((base + L"\\" + std::wstring(150, L'a')).c_str());
    RemoveDirectoryW(base.c_str());
}
