#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "document/icon_document.h"
#include "document_test_support.h"

using namespace doctest;

namespace {

// A document with content worth keeping: two images, one deleted, a path, unsaved changes.
void PrepareDocumentWithContent(IconDocument& document, const std::string& folder)
{
    const std::string path = folder + "\\previous.ico";
    IconDocument writer;
    ASSERT_EQ(1, writer.AddNewImage(48, 8));
    ASSERT_EQ(1, writer.AddNewImage(16, 24));
    ASSERT_EQ(1, writer.AddNewImage(32, 1));
    ASSERT_EQ(1, writer.WriteIconFile(path.c_str()));
    ASSERT_EQ(1, document.OpenFile(nullptr, path.c_str()));
    ASSERT_EQ(1, document.SelectImage(2));
    ASSERT_EQ(1, document.DeleteCurrentImage());
    document.SetModified(1);
}

// 16x16 4-bit at 38 (296 bytes), 32x32 1-bit at 334 (304 bytes): 638 bytes.
std::vector<BYTE> SmallValidFile(const std::string& folder)
{
    IconDocument document;
    EXPECT_EQ(1, document.AddNewImage(16, 4));
    PaintPattern(*document.GetCurrentImage(), 1);
    EXPECT_EQ(1, document.AddNewImage(32, 1));
    PaintPattern(*document.GetCurrentImage(), 2);
    const std::string path = folder + "\\small.ico";
    EXPECT_EQ(1, document.WriteIconFile(path.c_str()));
    return ReadWholeFile(path);
}

std::vector<BYTE> Cut(std::vector<BYTE> file, size_t length)
{
    file.resize(length);
    return file;
}

std::vector<BYTE> With(std::vector<BYTE> file, const std::function<void(std::vector<BYTE>&)>& change)
{
    change(file);
    return file;
}

} // namespace

TEST(IconFileRefusal, MalformedFilesLeaveTheDocumentAsItWas)
{
    const std::string folder = OutputFolder("malformed");
    const std::vector<BYTE> valid = SmallValidFile(folder);
    ASSERT_EQ(638u, valid.size());
    const BYTE png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                        0, 0, 0, 32, 0, 0, 0, 32, 8, 6, 0, 0, 0};
    struct Case { const char* what; std::vector<BYTE> file; };
    const Case cases[] = {
        {"empty file", {}},
        {"short header", Cut(valid, 4)},
        {"header only", Cut(valid, 6)},
        {"reserved field", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 0, 1); })},
        {"no image", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 4, 0); })},
        {"directory shorter than its count", With(Cut(valid, 38), [](std::vector<BYTE>& f) { PutWord(f, 4, 3); })},
        {"count far past the directory", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 4, 0xFFFF); })},
        {"directory cut", Cut(valid, 30)},
        {"offset at the end", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 22 + 12, 638); })},
        {"offset far past the end", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 22 + 12, 0x7FFFFFF0); })},
        {"offset with the top bit", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 6 + 12, 0x80000026); })},
        {"offset of a header cut", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 22 + 12, 638 - 20); })},
        {"record header cut", Cut(valid, 334 + 39)},
        {"colour table cut", Cut(valid, 38 + 40 + 30)},
        {"pixel area cut", Cut(valid, 334 + 40 + 8 + 50)},
        {"mask cut", Cut(valid, 637)},
        {"PNG record", With(valid, [&](std::vector<BYTE>& f) { memcpy(&f[334], png, sizeof(png)); })},
        {"width 20", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 334 + 4, 20); })},
        {"width 0", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 38 + 4, 0); })},
        {"width -16", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 38 + 4, static_cast<DWORD>(-16)); })},
        {"width 256", With(valid, [](std::vector<BYTE>& f) { PutDword(f, 38 + 4, 256); })},
        {"16 bits", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 334 + 14, 16); })},
        {"2 bits", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 38 + 14, 2); })},
        {"0 bits", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 38 + 14, 0); })},
        // A 1-bit record claiming 32 bits runs far past the end of the file.
        {"32 bits claimed", With(valid, [](std::vector<BYTE>& f) { PutWord(f, 334 + 14, 32); })},
    };
    const std::string path = folder + "\\bad.ico";
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    const DocumentSnapshot before(document);
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(path, c.file)) << c.what;
        EXPECT_EQ(0, document.OpenFile(nullptr, path.c_str())) << c.what;
        EXPECT_TRUE(before == DocumentSnapshot(document)) << c.what;
    }
    // The unbroken file does open, so each refusal above is down to its one change.
    ASSERT_TRUE(WriteWholeFile(path, valid));
    EXPECT_EQ(1, document.OpenFile(nullptr, path.c_str()));
    EXPECT_EQ(2, document.GetImageCount());
}

TEST(IconFileRefusal, FailedRecordLeavesTheImageAsItWas)
{
    const std::string folder = OutputFolder("malformed");
    const std::vector<BYTE> valid = SmallValidFile(folder);
    const std::string path = folder + "\\record.ico";
    ASSERT_TRUE(WriteWholeFile(path, Cut(valid, 637)));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    IconImage image;
    ASSERT_EQ(1, image.CreateBlank(48, 8));
    image.SetPixelIndex(1, 1, 7);
    for (DWORD offset : {334u, 637u, 5000u, 0xFFFFFFFFu, 6u})
        EXPECT_EQ(0, image.LoadFromIconData(file, offset)) << offset;
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(48, image.GetSize());
    EXPECT_EQ(7, image.GetPixelIndex(1, 1));
    // The first record is whole and replaces the image.
    EXPECT_EQ(1, image.LoadFromIconData(file, 38));
    EXPECT_EQ(16, image.GetSize());
    EXPECT_EQ(4, image.GetBitCount());
    CloseHandle(file);
}

TEST(IconFileRefusal, FilesThatCannotBeReadChangeNothing)
{
    const std::string folder = OutputFolder("malformed");
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    const DocumentSnapshot before(document);
    for (const std::string& path : {std::string(), folder + "\\missing.ico", folder})
        EXPECT_EQ(0, document.OpenFile(nullptr, path.c_str())) << path;
    EXPECT_EQ(0, document.OpenFile(nullptr, nullptr));
    EXPECT_TRUE(before == DocumentSnapshot(document));
}

// Truncated and byte-flipped variants of a valid file: an open either builds a
// whole document of accepted images or changes nothing at all.
TEST(IconFileRefusal, SeededMutationsNeverHalfBuildADocument)
{
    const std::string folder = OutputFolder("mutation");
    IconDocument source;
    ASSERT_EQ(1, source.AddNewImage(16, 4));
    PaintPattern(*source.GetCurrentImage(), 3);
    ASSERT_EQ(1, source.AddNewImage(16, 32));
    PaintPattern(*source.GetCurrentImage(), 4);
    ASSERT_EQ(1, source.AddNewImage(32, 8));
    const std::string validPath = folder + "\\valid.cur";
    ASSERT_EQ(1, source.WriteIconFile(validPath.c_str()));
    const std::vector<BYTE> valid = ReadWholeFile(validPath);
    const size_t headers = 6 + 3 * 16 + 40;

    unsigned seed = 20261207;
    auto next = [&seed]() { seed = seed * 1103515245u + 12345u; return (seed >> 8) & 0xFFFFFF; };
    const std::string path = folder + "\\variant.ico";
    int opened = 0, refused = 0;
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    for (int round = 0; round < 3000; ++round) {
        std::vector<BYTE> file = valid;
        if (round % 3 == 0) {
            file.resize(next() % valid.size());
        } else {
            const int flips = 1 + next() % 4;
            for (int f = 0; f < flips; ++f) {
                size_t at = next() % 2 ? next() % headers : next() % file.size();
                file[at] = next() % 2 ? static_cast<BYTE>(next()) : static_cast<BYTE>(file[at] ^ (1 << next() % 8));
            }
        }
        ASSERT_TRUE(WriteWholeFile(path, file));
        const DocumentSnapshot before(document);
        if (document.OpenFile(nullptr, path.c_str())) {
            ++opened;
            ASSERT_EQ(Word(file, 4), document.GetImageCount()) << "round " << round;
            EXPECT_EQ(0, document.GetCurrentIndex());
            EXPECT_EQ(0, document.IsModified());
            EXPECT_FALSE(document.HasDeletedImage());
            EXPECT_STREQ(path.c_str(), document.GetFilePath());
            for (int i = 0; i < document.GetImageCount(); ++i) {
                document.SelectImage(i);
                const IconImage& image = *document.GetCurrentImage();
                ASSERT_TRUE(image.IsValid()) << "round " << round;
                EXPECT_TRUE(IconImage::IsAcceptedSize(image.GetSize()));
                EXPECT_TRUE(IconImage::IsAcceptedBitCount(image.GetBitCount()));
            }
            document.CloseDocument();
            PrepareDocumentWithContent(document, folder);
        } else {
            ++refused;
            ASSERT_TRUE(before == DocumentSnapshot(document)) << "round " << round;
        }
    }
    // Both outcomes must have happened many times for the run to mean anything.
    EXPECT_GT(opened, 300);
    EXPECT_GT(refused, 1000);
}
