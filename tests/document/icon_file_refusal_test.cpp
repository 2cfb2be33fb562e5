#include "document_test_support.h"

using namespace doctest;

namespace {

// A document with content worth keeping: two images, one deleted, a path, unsaved changes.
void PrepareDocumentWithContent(IconDocument& document, const std::string& folder)
{
    const std::string path = folder + "\\previous.ico";
    IconDocument writer;
    for (const auto& format : {std::make_pair(48, 8), std::make_pair(16, 24), std::make_pair(32, 1)})
        ASSERT_EQ(EditOutcome::Done, writer.AddNewImage(format.first, format.second));
    ASSERT_EQ(SaveFailure::None, writer.WriteIconFile(W(path).c_str()));
    ASSERT_EQ(OpenFailureNone, document.OpenFile(W(path).c_str()));
    ASSERT_EQ(EditOutcome::Done, document.SelectImage(2));
    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    SetModifiedForTest(document, true);
}

// 16x16 4-bit at 38 (296 bytes), 32x32 1-bit at 334 (304 bytes): 638 bytes.
std::vector<BYTE> SmallValidFile()
{
    IconDocument document;
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    PaintPattern(*document.GetCurrentImage(), 1);
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(32, 1));
    PaintPattern(*document.GetCurrentImage(), 2);
    std::vector<BYTE> bytes;
    EXPECT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, bytes));
    return bytes;
}

} // namespace

TEST(IconFileRefusal, MalformedFilesLeaveTheDocumentAsItWas)
{
    const std::string folder = OutputFolder("malformed");
    const std::vector<BYTE> valid = SmallValidFile();
    ASSERT_EQ(638u, valid.size());
    struct Case { const char* what; std::vector<BYTE> file; };
    const Case cases[] = {
        {"empty file", {}}, {"short header", Cut(valid, 4)}, {"header only", Cut(valid, 6)},
        {"reserved field", Patched(valid, 0, 1, 2)}, {"no image", Patched(valid, 4, 0, 2)},
        {"directory shorter than its count", Patched(Cut(valid, 38), 4, 3, 2)},
        {"count far past the directory", Patched(valid, 4, 0xFFFF, 2)}, {"directory cut", Cut(valid, 30)},
        {"offset at the end", Patched(valid, 22 + 12, 638, 4)},
        {"offset far past the end", Patched(valid, 22 + 12, 0x7FFFFFF0, 4)},
        {"offset with the top bit", Patched(valid, 6 + 12, 0x80000026, 4)},
        {"offset of a header cut", Patched(valid, 22 + 12, 638 - 20, 4)},
        {"record header cut", Cut(valid, 334 + 39)}, {"colour table cut", Cut(valid, 38 + 40 + 30)},
        {"pixel area cut", Cut(valid, 334 + 40 + 8 + 50)}, {"mask cut", Cut(valid, 637)},
        {"PNG record", Patched(Patched(valid, 334, 0x474E5089, 4), 338, 0x0A1A0A0D, 4)},
        {"width 300", Patched(valid, 334 + 4, 300, 4)}, {"width 0", Patched(valid, 38 + 4, 0, 4)},
        {"width -16", Patched(valid, 38 + 4, DWORD(-16), 4)}, {"width 256", Patched(valid, 38 + 4, 256, 4)},
        {"16 bits", Patched(valid, 334 + 14, 16, 2)}, {"3 bits", Patched(valid, 38 + 14, 3, 2)},
        {"0 bits", Patched(valid, 38 + 14, 0, 2)},
        // A 1-bit record claiming 32 bits runs far past the end of the file.
        {"32 bits claimed", Patched(valid, 334 + 14, 32, 2)},
    };
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    const DocumentSnapshot before(document);
    for (const Case& c : cases) {
        EXPECT_NE(OpenFailureNone, document.OpenBytes(Span(c.file))) << c.what;
        EXPECT_TRUE(before == DocumentSnapshot(document)) << c.what;
    }
    // Nor does a file that cannot be read change anything.
    for (const std::string& unreadable : {std::string(), folder + "\\missing.ico", folder})
        EXPECT_NE(OpenFailureNone, document.OpenFile(W(unreadable).c_str())) << unreadable;
    EXPECT_NE(OpenFailureNone, document.OpenFile(nullptr));
    EXPECT_TRUE(before == DocumentSnapshot(document));
    // The unbroken file does open, so each refusal above is down to its one change.
    EXPECT_EQ(OpenFailureNone, document.OpenBytes(Span(valid)));
    EXPECT_EQ(2, document.GetImageCount());
}

TEST(IconFileRefusal, FailedRecordLeavesTheImageAsItWas)
{
    const std::vector<BYTE> file = Cut(SmallValidFile(), 637);
    IconImage image;
    ASSERT_EQ(1, image.CreateBlank(48, 8));
    image.SetPixelIndex(1, 1, 7);
    for (DWORD offset : {334u, 637u, 5000u, 0xFFFFFFFFu, 6u})
        EXPECT_NE(OpenFailureNone, ReadIconRecord(Span(file), offset, 0, image)) << offset;
    EXPECT_EQ("48x48x8-bits", image.GetFormatText());
    EXPECT_EQ(7, image.GetPixelIndex(1, 1));
    EXPECT_EQ(OpenFailureNone, ReadIconRecord(Span(file), 38, 0, image));   // the first record is whole
    EXPECT_EQ("16x16x4-bits", image.GetFormatText());
}

// Truncated and byte-flipped variants of a valid file: an open either builds a
// whole document of accepted images or changes nothing at all.
TEST(IconFileRefusal, SeededMutationsNeverHalfBuildADocument)
{
    const std::string folder = OutputFolder("mutation");
    IconDocument source;
    for (const auto& format : {std::make_pair(16, 4), std::make_pair(16, 32), std::make_pair(32, 8)}) {
        ASSERT_EQ(EditOutcome::Done, source.AddNewImage(format.first, format.second));
        PaintPattern(*source.GetCurrentImage(), format.second);
    }
    std::vector<BYTE> valid;
    ASSERT_EQ(SaveFailure::None, source.BuildFileBytes(IconFileKind::Cursor, valid));
    const size_t headers = 6 + 3 * 16 + 40;

    unsigned seed = 20261207;
    auto next = [&seed]() { seed = seed * 1103515245u + 12345u; return (seed >> 8) & 0xFFFFFF; };
    int opened = 0, refused = 0;
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    for (int round = 0; round < 3000; ++round) {
        std::vector<BYTE> file = valid;
        if (round % 3 == 0)
            file.resize(next() % valid.size());
        for (int f = round % 3 ? 1 + next() % 4 : 0; f > 0; --f) {
            const size_t at = next() % 2 ? next() % headers : next() % file.size();
            file[at] = next() % 2 ? BYTE(next()) : BYTE(file[at] ^ (1 << next() % 8));
        }
        const DocumentSnapshot before(document);
        if (document.OpenBytes(Span(file)) != OpenFailureNone) {
            ++refused;
            ASSERT_TRUE(before == DocumentSnapshot(document)) << "round " << round;
            continue;
        }
        ++opened;
        const std::vector<IconImage*> images = DocumentSnapshot(document).images;
        ASSERT_EQ(Word(file, 4), images.size() + document.GetKeptEntries().size()) << "round " << round;
        EXPECT_EQ(0, document.GetCurrentIndex());
        EXPECT_EQ(0, document.IsModified());
        EXPECT_FALSE(document.HasDeletedImage());
        EXPECT_STREQ(L"", document.GetFilePath());
        for (IconImage* image : images) {
            ASSERT_TRUE(image->IsValid()) << "round " << round;
            EXPECT_TRUE(IsAcceptedSize(image->GetSize()));
            EXPECT_TRUE(IsAcceptedBitCount(image->GetBitCount()));
        }
        document.CloseDocument();
        PrepareDocumentWithContent(document, folder);
    }
    // Both outcomes must have happened many times for the run to mean anything.
    EXPECT_GT(opened, 300);
    EXPECT_GT(refused, 1000);
}

// One file per reason an open gives; the shell words each. A refusal leaves
// the document as it was, and the next open works.
TEST(IconFileRefusal, EachFailureSaysWhy)
{
    const std::string folder = OutputFolder("malformed");
    const std::vector<BYTE> valid = SmallValidFile();
    // Entries that all share the 32x32 record.
    auto shared = [&valid](int count) {
        std::vector<BYTE> file(6 + 16 * size_t(count), 0);
        Put(file, 2, 1, 2);
        Put(file, 4, DWORD(count), 2);
        for (int i = 0; i < count; ++i)
            Put(file, 6 + 16 * i + 12, DWORD(file.size()), 4);
        file.insert(file.end(), valid.begin() + 334, valid.end());
        return file;
    };
    struct Case { const char* what; std::vector<BYTE> file; OpenFailure why; };
    const Case cases[] = {
        {"bitmap", MakeBmp({16, 16, 4}), OpenFailureNotIconFile}, {"empty", {}, OpenFailureNotIconFile},
        {"unknown type, cut", Patched(Cut(valid, 300), 2, 7, 2), OpenFailureNotIconFile},
        {"no image", Patched(valid, 4, 0, 2), OpenFailureDamaged}, {"cut", Cut(valid, 637), OpenFailureDamaged},
        {"no header at the offset", Patched(valid, 22 + 12, 400, 4), OpenFailureDamaged},
        // Nothing editable: refused for what the first entry is.
        {"PNG only", IconFileOf(1, {{PngRecord(16, 16, 8, 6), 16, 1, 32}, {BmpRecord(20, 16), 20, 1, 16}}),
         OpenFailurePngImage},
        {"width 300 only", IconFileOf(1, {{BmpRecord(300, 32), 44, 1, 32}}), OpenFailureDamaged},
        // Not square: the record 20 wide and 10 high.
        {"20 x 10 only", Patched(IconFileOf(1, {{BmpRecord(20, 32), 20, 1, 32}}), 22 + 8, 20, 4),
         OpenFailureUnsupportedSize},
        {"16 bits only", IconFileOf(2, {{BmpRecord(16, 16), 16, 0, 0}}), OpenFailureUnsupportedDepth},
        {"bit fields of another order",
         Patched(ReadWholeFile(FixturePath("built_bitfields.ico")), 22 + 40, 0xFF, 4), OpenFailureUnsupportedDepth},
        {"65,535 images", shared(65535), OpenFailureTooManyImages},
        {"1,001 images", shared(1001), OpenFailureTooManyImages},
        {"1,000 images", shared(1000), OpenFailureNone},
    };
    IconDocument document;
    PrepareDocumentWithContent(document, folder);
    const DocumentSnapshot before(document);
    for (const Case& c : cases) {
        EXPECT_EQ(c.why, document.OpenBytes(Span(c.file))) << c.what;
        EXPECT_EQ(c.why != OpenFailureNone, before == DocumentSnapshot(document)) << c.what;
    }
    EXPECT_EQ(1000, document.GetImageCount());
    OpenFailure why = OpenFailureNone;
    EXPECT_NE(OpenFailureNone, why = document.OpenFile(W(folder + "\\missing.ico").c_str()));
    EXPECT_EQ(OpenFailureUnreadable, why);
}
