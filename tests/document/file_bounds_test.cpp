#include "document_test_support.h"

#include "document/whole_file.h"
#include "model/failing_allocations.h"

using namespace doctest;

TEST(FileBounds, SpanRefusesEveryRangeNotInside)
{
    const BYTE bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const ByteSpan span(bytes, sizeof bytes);
    struct Case { size_t offset, count; bool inside; };
    for (const Case& c : {Case{0, 10, true}, Case{10, 0, true}, Case{9, 1, true}, Case{9, 2, false},
                          Case{11, 0, false}, Case{SIZE_MAX, 2, false}, Case{2, SIZE_MAX - 1, false}})
        EXPECT_EQ(c.inside, span.At(c.offset, c.count) != nullptr) << c.offset << "+" << c.count;
    BYTE out[2] = {};
    EXPECT_FALSE(span.CopyTo(9, out, 2));
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(3u, span.Part(7, 100).Size());
    EXPECT_EQ(0u, span.Part(11, 1).Size());
}

// A file is read whole, and not at all past the bound.
TEST(FileBounds, WholeFileReadStopsAtItsBound)
{
    const std::string path = OutputFolder("bounds") + "\\ten.bin";
    const std::vector<BYTE> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(WriteWholeFile(path, ten));
    std::vector<BYTE> bytes;
    EXPECT_EQ(WholeFileRead::TooLarge, ReadBoundedFile(W(path).c_str(), 9, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(WholeFileRead::Read, ReadBoundedFile(W(path).c_str(), 10, bytes));
    EXPECT_EQ(ten, bytes);
    DeleteFileA(path.c_str());
    EXPECT_EQ(WholeFileRead::Unreadable, ReadBoundedFile(W(path).c_str(), 10, bytes));
}

// The reader takes 1,000 entries: adding, importing and restoring stop there,
// and what is then written opens again.
TEST(FileBounds, ImagesAreAddedOnlyWhileTheFileStaysReadable)
{
    std::vector<RecordEntry> entries = {{BmpRecord(16, 24), 16, 1, 24}, {BmpRecord(32, 24), 32, 1, 24}};
    entries.resize(1000, RecordEntry{BmpRecord(16, 16), 16, 1, 16});
    IconDocument document;
    ASSERT_EQ(OpenFailureNone, document.OpenBytes(Span(IconFileOf(1, entries))));
    ASSERT_EQ(2, document.GetImageCount());
    ASSERT_EQ(998u, document.GetKeptEntries().size());
    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));                  // the thousandth
    EXPECT_FALSE(document.CanAddImage());
    EXPECT_NE(EditOutcome::Done, document.AddNewImage(16, 4));
    ImportFailure why = ImportFailureNone;
    EXPECT_NE(ImportFailureNone, why = document.ImportBitmapBytes(Span(MakeBmp({16, 16, 4})), 0));
    EXPECT_EQ(ImportFailureTooManyImages, why);
    EXPECT_NE(EditOutcome::Done, document.RestoreDeletedImage());
    EXPECT_EQ(2, document.GetImageCount());
    std::vector<BYTE> written;
    ASSERT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, written));
    IconDocument reread;
    EXPECT_EQ(OpenFailureNone, reread.OpenBytes(Span(written)));
    EXPECT_EQ(1000u, reread.GetImageCount() + reread.GetKeptEntries().size());
}

// Told apart from a disk that refused the file, and nothing is written.
TEST(FileBounds, SaveWithoutMemoryForItsBytesSaysSo)
{
    const std::string path = OutputFolder("bounds") + "\\memory.ico";
    DeleteFileA(path.c_str());
    const std::wstring wide = W(path);
    IconDocument document;
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(128, 32));
    SaveFailure why = SaveFailure::None;
    {
        FailingAllocations full(1 << 20);   // the file's bytes are about 2 MB
        why = document.WriteIconFile(wide.c_str());
    }
    EXPECT_EQ(SaveFailure::NoMemory, why);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(SaveFailure::None, why = document.WriteIconFile(wide.c_str()));
    EXPECT_EQ(SaveFailure::None, why);
    DeleteFileA(path.c_str());
}

// A record of a size the editor edits but 16 bits deep is kept byte for byte.
TEST(FileBounds, UnsupportedDepthIsKeptWholeWhileTheRestOpens)
{
    const std::vector<BYTE> deep = BmpRecord(16, 16);
    IconDocument document;
    ASSERT_EQ(OpenFailureNone, document.OpenBytes(Span(IconFileOf(1, {{deep, 16, 1, 16}, {BmpRecord(32, 24), 32, 1, 24}}))));
    EXPECT_EQ("32x32x24-bits", document.GetCurrentImage()->GetFormatText());
    ASSERT_EQ(1u, document.GetKeptEntries().size());
    const KeptEntry& kept = document.GetKeptEntries()[0];
    EXPECT_EQ(OpenFailureUnsupportedDepth, kept.why);
    EXPECT_EQ(16, kept.bitCount);
    EXPECT_EQ(deep, kept.record);
}

// All zero is a writer that left the byte unused, not an image that shows nothing.
TEST(FileBounds, FourthBytesAllZeroOpenOpaqueWithTheirColours)
{
    std::vector<BYTE> record = BmpRecord(16, 32);
    std::fill(record.begin() + 40 + 16 * 64, record.end(), BYTE(0));   // a clear mask
    for (size_t alpha = 40 + 3; alpha < 40 + 16 * 64; alpha += 4)
        record[alpha] = 0;
    IconImage image;
    ASSERT_EQ(OpenFailureNone, ReadIconRecord(Span(record), 0, DWORD(record.size()), image));
    EXPECT_EQ(Grid(16, 16, [&record](int x, int y) {
                  const size_t at = 40 + (15 - y) * 64 + 4 * x;
                  return RGB(record[at + 2], record[at + 1], record[at]);
              }), Look(image));
}

// Only red, green and blue where plain 32-bit pixels have them are read.
TEST(FileBounds, BitFieldMasksOtherThanTheUsualAreRefused)
{
    const std::vector<BYTE> file = ReadWholeFile(FixturePath("built_bitfields.ico"));
    const DWORD bytes = Get(file, 6 + 8, 4);
    const size_t masks = 22 + 40;
    IconImage image;
    ASSERT_EQ(OpenFailureNone, ReadIconRecord(Span(file), 22, bytes, image));
    struct Case { DWORD red, green, blue; };
    for (const Case& c : {Case{0xFF, 0xFF00, 0xFF0000}, Case{0xFF000000, 0xFF00, 0xFF}, Case{0xFF0000, 0xFF, 0xFF00},
                          Case{0xFF0000, 0xFF00, 0xFF000000}, Case{0, 0, 0}, Case{0x7C00, 0x3E0, 0x1F}}) {
        const std::vector<BYTE> other = Patched(Patched(Patched(file, masks, c.red, 4), masks + 4, c.green, 4),
                                                masks + 8, c.blue, 4);
        EXPECT_EQ(OpenFailureUnsupportedDepth, ReadIconRecord(Span(other), 22, bytes, image)) << std::hex << c.red;
    }
}
