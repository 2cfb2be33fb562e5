#include "document_test_support.h"

#include <algorithm>
#include <memory>
#include <set>

#include "document/recovery_store.h"

using namespace doctest;

namespace {

// Whatever a killed run left in the folder goes, sub-folders too.
void DeleteTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            DeleteTree(path);
        else
            DeleteFileA(path.c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

std::string FreshRoot()
{
    DeleteTree(OutputFolder("recovery"));
    return OutputFolder("recovery");
}

std::vector<BYTE> DocumentBytes(IconDocument& document, int pixel)
{
    document.CloseDocument();
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
    document.GetCurrentImage()->SetPixelIndex(pixel, 0, 9);
    std::vector<BYTE> bytes;
    EXPECT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, bytes));
    return bytes;
}

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

// The folder an editor that crashed leaves: its copy and, unless empty, its record.
std::string PlantOrphan(const std::string& root, const char* name, const std::vector<BYTE>& copy,
                        const std::string& record = "")
{
    const std::string folder = root + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(WriteWholeFile(folder + "\\copy.ico", copy));
    if (!record.empty()) {
        EXPECT_TRUE(WriteWholeFile(folder + "\\record.txt", Bytes(record)));
    }
    return folder;
}

}  // namespace

// Each editor keeps its copy in a folder of its own that the others leave alone
// while it runs, even when several start within one tick of the clock; the
// copy is an ordinary icon file, and goes when discarded.
TEST(RecoveryStore, CopiesAreWrittenApartAndDiscarded)
{
    const std::string root = FreshRoot();
    IconDocument document;
    std::vector<std::unique_ptr<RecoveryStore>> stores;
    for (int i = 0; i < 6; ++i)
        stores.emplace_back(new RecoveryStore(W(root)));
    // The names of this process for the coming moments are taken: a store
    // passes over one whose lock is held rather than give up.
    std::vector<std::string> taken;
    for (DWORD now = GetTickCount(), tick = now; tick < now + 300; ++tick) {
        char name[32];
        wsprintfA(name, "\\%lu-%08lx-0.lock", GetCurrentProcessId(), tick);
        taken.push_back(root + name);
    }
    std::vector<HANDLE> held;
    for (const std::string& lock : taken)
        held.push_back(CreateFileA(lock.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    for (size_t i = 0; i < stores.size(); ++i)
        ASSERT_TRUE(stores[i]->Write(DocumentBytes(document, int(i)), i ? L".cur" : L".ico", RecoveryRecord()));
    std::set<std::wstring> copies;
    for (auto& store : stores) {
        store->Flush();
        copies.insert(store->GetCopyPath());
    }
    for (size_t i = 0; i < held.size(); ++i) {
        CloseHandle(held[i]);
        DeleteFileA(taken[i].c_str());
    }
    EXPECT_EQ(stores.size(), copies.size());
    EXPECT_EQ(0u, copies.count(L""));
    EXPECT_EQ(L".cur", stores[1]->GetCopyPath().substr(stores[1]->GetCopyPath().size() - 4));
    EXPECT_TRUE(stores[0]->FindOrphans().empty()) << "a running editor's copy is not offered";

    IconDocument read;
    ASSERT_EQ(OpenFailureNone, read.OpenFile(stores[3]->GetCopyPath().c_str()));
    EXPECT_EQ(2, read.GetImageCount());
    EXPECT_EQ(9, read.GetImage(1)->GetPixelIndex(3, 0));

    const std::string copy = Narrow(stores[0]->GetCopyPath());
    stores[0]->Discard();
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(L"", stores[0]->GetCopyPath());
}

// A copy whose editor is gone is offered with its record (the path in UTF-8,
// whatever its script), or untitled on its first image when its record is
// missing; only a folder holding no copy is cleared away without asking.
TEST(RecoveryStore, EveryCopyLeftIsOfferedWithOrWithoutItsRecord)
{
    const std::string root = FreshRoot();
    IconDocument document;
    PlantOrphan(root, "77-recorded", DocumentBytes(document, 4),
                "Vemiro recovery 1\nimage 1\npath C:\\icons\\\xd1\x84.ico\n");
    PlantOrphan(root, "78-unrecorded", DocumentBytes(document, 4));
    CreateDirectoryA((root + "\\79-empty").c_str(), nullptr);

    std::vector<RecoveryStore::Orphan> orphans = RecoveryStore(W(root)).FindOrphans();
    ASSERT_EQ(2u, orphans.size());
    std::sort(orphans.begin(), orphans.end(),
              [](const RecoveryStore::Orphan& a, const RecoveryStore::Orphan& b) { return a.folder < b.folder; });
    EXPECT_FALSE(FileExists(root + "\\79-empty"));
    EXPECT_EQ(L"C:\\icons\\\u0444.ico", orphans[0].record.originalPath);
    EXPECT_EQ(1, orphans[0].record.currentImage);
    EXPECT_EQ(L"", orphans[1].record.originalPath);
    EXPECT_EQ(0, orphans[1].record.currentImage);

    RecoveryStore::Remove(orphans[1]);
    EXPECT_FALSE(FileExists(Narrow(orphans[1].folder)));
    EXPECT_TRUE(FileExists(Narrow(orphans[0].copy)));
}

// An icon file holds no hotspot: the record brings each image's back, with the
// path and the current image, through a real write of the store.
TEST(RecoveryStore, HotspotsOfEveryImageComeBack)
{
    const std::string root = FreshRoot();
    IconDocument document;
    std::vector<BYTE> bytes = DocumentBytes(document, 1);
    document.GetImage(0)->SetHotspot(2, 13);
    document.GetImage(1)->SetHotspot(30, 0);
    RecoveryRecord record;
    ASSERT_TRUE(RecordOfDocument(document, record));
    record.originalPath = L"C:\\pointeurs\\fl\u00e8che.cur";
    RecoveryStore writer(W(root + "-writer"));
    ASSERT_TRUE(writer.WriteNow(bytes, L".ico", record));
    const std::string written = Narrow(writer.GetCopyPath());
    const std::string folder = PlantOrphan(root, "80-hotspots", ReadWholeFile(written));
    ASSERT_TRUE(CopyFileA((written.substr(0, written.rfind('\\')) + "\\record.txt").c_str(),
                          (folder + "\\record.txt").c_str(), FALSE));

    std::vector<RecoveryStore::Orphan> orphans = RecoveryStore(W(root)).FindOrphans();
    ASSERT_EQ(1u, orphans.size());
    IconDocument read;
    ASSERT_EQ(OpenFailureNone, read.OpenRecoveryCopy(orphans[0].copy.c_str(), orphans[0].record));
    EXPECT_EQ(record.originalPath, read.GetFilePath());
    EXPECT_EQ(1, read.GetCurrentIndex());
    EXPECT_EQ(1, read.IsModified());
    for (int i : {0, 1}) {
        EXPECT_EQ(document.GetImage(i)->GetHotspot().x, read.GetImage(i)->GetHotspot().x) << i;
        EXPECT_EQ(document.GetImage(i)->GetHotspot().y, read.GetImage(i)->GetHotspot().y) << i;
    }
}

// Two editors starting together: the copy one of them offers is held, so the
// other neither offers nor removes it; nor does it take a folder being made,
// whose lock exists before the folder, for one left behind.
TEST(RecoveryStore, AnOfferedCopyOrAFolderBeingMadeIsLeftToItsHolder)
{
    const std::string root = FreshRoot();
    IconDocument document;
    PlantOrphan(root, "81-offered", DocumentBytes(document, 2));
    const std::string making = root + "\\82-making";
    HANDLE lock = CreateFileA((making + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    CreateDirectoryA(making.c_str(), nullptr);

    RecoveryStore first(W(root)), second(W(root));
    {
        std::vector<RecoveryStore::Orphan> offered = first.FindOrphans();
        ASSERT_EQ(1u, offered.size());
        EXPECT_TRUE(second.FindOrphans().empty());
        EXPECT_TRUE(FileExists(making));
    }
    EXPECT_EQ(1u, second.FindOrphans().size()) << "offered again once let go";
    CloseHandle(lock);
}

// A copy that does not open is never offered nor deleted: it is moved aside
// once, where it is not found again, and where it lies is told.
TEST(RecoveryStore, DamagedCopiesAreSetAsideNotOffered)
{
    const std::string root = FreshRoot();
    IconDocument document;
    const std::vector<BYTE> whole = DocumentBytes(document, 5);
    struct Case { const char* name; std::vector<BYTE> bytes; };
    const Case cases[] = {{"90-empty", {}}, {"91-garbage", Bytes("garbage, not an icon")},
                          {"92-half", Cut(whole, whole.size() / 2)}};
    for (const Case& c : cases)
        PlantOrphan(root, c.name, c.bytes);
    CreateDirectoryA((root + "\\93-folder").c_str(), nullptr);
    CreateDirectoryA((root + "\\93-folder\\copy.ico").c_str(), nullptr);

    std::vector<std::wstring> aside;
    EXPECT_TRUE(RecoveryStore(W(root)).FindOrphans(&aside).empty());
    ASSERT_EQ(4u, aside.size());
    for (const Case& c : cases) {
        const std::string moved = root + "\\Copies illisibles\\" + c.name + "-copy.ico";
        EXPECT_EQ(c.bytes, ReadWholeFile(moved)) << c.name;
        EXPECT_EQ(1u, std::count(aside.begin(), aside.end(), W(moved))) << c.name;
        EXPECT_FALSE(FileExists(root + "\\" + c.name)) << c.name;
    }
    EXPECT_TRUE(FileExists(root + "\\Copies illisibles\\93-folder-copy.ico"));
    aside.clear();
    EXPECT_TRUE(RecoveryStore(W(root)).FindOrphans(&aside).empty());
    EXPECT_TRUE(aside.empty()) << "told once";
}

// No copy is dropped in silence: one that cannot be queued is refused at once,
// one whose writing fails on the worker is posted to the window told.
TEST(RecoveryStore, CopiesThatCannotBeStoredAreTold)
{
    const std::string root = FreshRoot();
    IconDocument document;
    ASSERT_TRUE(WriteWholeFile(root + "\\a-file", {}));
    EXPECT_FALSE(RecoveryStore(W(root + "\\a-file")).Write(DocumentBytes(document, 1), L".ico", RecoveryRecord()));

    const UINT failed = WM_APP + 9;
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    RecoveryStore store(W(root));
    store.NotifyFailures(window, failed);
    ASSERT_TRUE(store.WriteNow(DocumentBytes(document, 1), L".ico", RecoveryRecord()));
    const std::string folder = Narrow(store.GetCopyPath()).substr(0, Narrow(store.GetCopyPath()).rfind('\\'));
    DeleteFileA((folder + "\\copy.cur").c_str());
    CreateDirectoryA((folder + "\\copy.cur").c_str(), nullptr);  // the copy cannot be replaced
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window, failed, failed, PM_REMOVE));
    EXPECT_FALSE(store.WriteNow(DocumentBytes(document, 1), L".cur", RecoveryRecord()));
    EXPECT_TRUE(PeekMessageA(&message, window, failed, failed, PM_REMOVE));
    RemoveDirectoryA((folder + "\\copy.cur").c_str());
    DestroyWindow(window);
}

// Whatever their folders' names, the copy written first is offered first.
TEST(RecoveryStore, TheOldestOfTwoCopiesIsOfferedFirst)
{
    const std::string root = FreshRoot();
    IconDocument document;
    const std::vector<BYTE> bytes = DocumentBytes(document, 6);
    for (const char* name : {"60-newer", "61-older"}) {
        const std::string copy = PlantOrphan(root, name, bytes) + "\\copy.ico";
        HANDLE file = CreateFileA(copy.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME at = {name[1] == '0' ? 2000000000u : 1000000000u, 30000000u};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &at));
        CloseHandle(file);
    }
    const std::vector<RecoveryStore::Orphan> orphans = RecoveryStore(W(root)).FindOrphans();
    ASSERT_EQ(2u, orphans.size());
    EXPECT_EQ(W(root + "\\61-older"), orphans[0].folder);
}
