#include "document_test_support.h"

#include "document/recovery_store.h"

using namespace doctest;

namespace {

// An empty root of its own, so that nothing of another run is found.
std::string FreshRoot()
{
    const std::string root = OutputFolder("recovery");
    for (const RecoveryStore::Orphan& left : RecoveryStore(W(root)).FindOrphans())
        RecoveryStore::Remove(left);
    return root;
}

// The test's paths are plain ASCII.
std::string A(const std::wstring& path) { return std::string(path.begin(), path.end()); }

std::vector<BYTE> DocumentBytes(IconDocument& document, int pixel)
{
    document.CloseDocument();
    EXPECT_EQ(1, document.AddNewImage(16, 4));
    EXPECT_EQ(1, document.AddNewImage(32, 8));
    document.GetCurrentImage()->SetPixelIndex(pixel, 0, 9);
    std::vector<BYTE> bytes;
    EXPECT_TRUE(document.BuildFileBytes(IconFileKind::Icon, bytes));
    return bytes;
}

}  // namespace

// Each editor keeps its copy in a folder of its own that the others leave alone
// while it runs; the copy is an ordinary icon file, and goes when discarded.
TEST(RecoveryStore, CopiesAreWrittenApartAndDiscarded)
{
    const std::string root = FreshRoot();
    IconDocument document;
    RecoveryStore first(W(root)), second(W(root));
    first.Write(DocumentBytes(document, 3), L".ico", L"C:\\icons\\arrow.ico", 1);
    second.Write(DocumentBytes(document, 5), L".cur", L"", 0);
    first.Flush();
    second.Flush();
    ASSERT_NE(first.GetCopyPath(), second.GetCopyPath());
    EXPECT_EQ(L".cur", second.GetCopyPath().substr(second.GetCopyPath().size() - 4));
    EXPECT_TRUE(first.FindOrphans().empty()) << "a running editor's copy is not offered";

    IconDocument read;
    ASSERT_EQ(1, read.OpenFile(first.GetCopyPath().c_str()));
    EXPECT_EQ(2, read.GetImageCount());
    EXPECT_EQ(9, read.GetImage(1)->GetPixelIndex(3, 0));

    const std::string copy = A(second.GetCopyPath());
    second.Discard();
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(L"", second.GetCopyPath());
}

// A copy whose editor is gone (its lock free) is offered with its record, moved
// into the asking editor's folder when taken, and gone when declined; a folder
// left before any copy is cleared away.
TEST(RecoveryStore, CopiesOfEditorsThatStoppedAreFoundAdoptedOrRemoved)
{
    const std::string root = FreshRoot();
    IconDocument document;
    for (const char* name : {"77-crashed", "78-declined"}) {
        const std::string folder = root + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(folder + "\\copy.ico", DocumentBytes(document, 4)));
        // The document's path in UTF-8, whatever its script: here a Cyrillic name.
        const std::string record = "Vemiro recovery 1\nimage 1\npath C:\\icons\\\xd1\x84.ico\n";
        ASSERT_TRUE(WriteWholeFile(folder + "\\record.txt", std::vector<BYTE>(record.begin(), record.end())));
        ASSERT_TRUE(WriteWholeFile(folder + "\\lock", {}));
    }
    CreateDirectoryA((root + "\\79-empty").c_str(), nullptr);

    RecoveryStore store(W(root));
    std::vector<RecoveryStore::Orphan> orphans = store.FindOrphans();
    ASSERT_EQ(2u, orphans.size());
    EXPECT_FALSE(FileExists(root + "\\79-empty"));
    EXPECT_EQ(L"C:\\icons\\\u0444.ico", orphans[0].originalPath);
    EXPECT_EQ(1, orphans[0].currentImage);

    const std::wstring adopted = store.Adopt(orphans[0]);
    ASSERT_FALSE(adopted.empty());
    EXPECT_FALSE(FileExists(A(orphans[0].folder)));
    EXPECT_EQ(1, document.OpenRecoveryCopy(adopted.c_str(), orphans[0].originalPath.c_str(), 1));
    EXPECT_EQ(orphans[0].originalPath, document.GetFilePath());
    EXPECT_EQ(1, document.GetCurrentIndex());
    EXPECT_EQ(1, document.IsModified());
    RecoveryStore::Remove(orphans[1]);
    EXPECT_FALSE(FileExists(A(orphans[1].folder)));

    store.Release();
    EXPECT_FALSE(FileExists(A(adopted)));
    EXPECT_TRUE(RecoveryStore(W(root)).FindOrphans().empty());
    RemoveDirectoryA(root.c_str());
}
