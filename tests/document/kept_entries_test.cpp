#include "document_test_support.h"

using namespace doctest;

namespace {

// A 256-pixel PNG (8-bit palette) without pixel data, an editable 16 x 16
// 24-bit image, a 24 x 24 16-bit record; the two kept entries' planes and bit count (or hotspot) fields.
std::vector<BYTE> MixedFile(WORD type, const WORD (&fields)[4])
{
    return IconFileOf(type, {{PngRecord(256, 256, 8, 3), 0, fields[0], fields[1]}, {BmpRecord(16, 24), 16, 1, 24},
                             {BmpRecord(24, 16), 24, fields[2], fields[3]}});
}

std::vector<BYTE> Slice(const std::vector<BYTE>& b, size_t at, size_t length)
{
    return at + length <= b.size() ? std::vector<BYTE>(b.begin() + at, b.begin() + at + length) : std::vector<BYTE>();
}

} // namespace

// The image first, as the editor writes it, then each kept record byte for byte,
// its entry as read but for the offset, and for the fields the other kind needs.
TEST(KeptEntries, WrittenBackAfterTheImagesWithTheFieldsOfTheKind)
{
    const std::string folder = OutputFolder("kept"), source = folder + "\\source";
    struct Case { WORD type; WORD read[4]; const char* written; WORD expected[4]; };
    const Case cases[] = {
        {1, {0, 32, 1, 0}, "icon.ico", {0, 32, 1, 0}}, {1, {0, 32, 1, 0}, "icon.cur", {127, 127, 11, 11}},
        {2, {5, 6, 7, 8}, "cursor.cur", {5, 6, 7, 8}}, {2, {5, 6, 7, 8}, "cursor.ico", {1, 8, 1, 16}},
    };
    for (const Case& c : cases) {
        const std::vector<BYTE> file = MixedFile(c.type, c.read);
        const std::string path = folder + "\\" + c.written;
        ASSERT_TRUE(WriteWholeFile(source, file));
        IconDocument document;
        ASSERT_EQ(OpenFailureNone, document.OpenFile(W(source).c_str())) << c.written;
        ASSERT_EQ(1, document.GetImageCount());
        ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(path).c_str())) << c.written;
        const std::vector<BYTE> out = ReadWholeFile(path);
        ASSERT_EQ(3, Word(out, 4)) << c.written;
        EXPECT_EQ(Slice(file, Get(file, 6 + 16 + 12, 4), 872), Slice(out, 54, 872)) << c.written;   // the image
        for (int k = 0; k < 2; ++k) {
            const size_t read = 6 + 32 * k, written = 22 + 16 * k;
            std::vector<BYTE> entry = Patched(Slice(file, read, 16), 12, Get(out, written + 12, 4), 4);
            Put(entry, 4, c.expected[2 * k] | DWORD(c.expected[2 * k + 1]) << 16, 4);
            EXPECT_EQ(entry, Slice(out, written, 16)) << c.written << " #" << k;
            EXPECT_EQ(Slice(file, Get(file, read + 12, 4), Get(file, read + 8, 4)),
                      Slice(out, Get(out, written + 12, 4), Get(out, written + 8, 4))) << c.written << " #" << k;
        }
        EXPECT_EQ(Get(out, 38 + 12, 4) + Get(out, 38 + 8, 4), out.size()) << c.written;
    }
}

// Editing the image list keeps them; whatever replaces the document drops them.
TEST(KeptEntries, KeptThroughImageEditsDroppedWithTheDocument)
{
    const std::string folder = OutputFolder("kept"), path = folder + "\\ops.ico", bitmap = folder + "\\bitmap.bmp";
    ASSERT_TRUE(WriteWholeFile(path, MixedFile(1, {1, 8, 1, 16})));
    ASSERT_TRUE(WriteWholeFile(bitmap, MakeBmp({16, 16, 24})));
    IconDocument document;
    for (int replace : {0, 1}) {
        ASSERT_EQ(OpenFailureNone, document.OpenFile(W(path).c_str()));
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
        ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
        ASSERT_EQ(EditOutcome::Done, document.RestoreDeletedImage());
        ASSERT_EQ(ImportFailureNone, document.ImportBitmap(W(bitmap).c_str(), replace));
        EXPECT_EQ(replace ? 0u : 2u, document.GetKeptEntries().size());
    }
    ASSERT_EQ(OpenFailureNone, document.OpenFile(W(path).c_str()));
    document.CloseDocument();
    EXPECT_EQ(0u, document.GetKeptEntries().size());
}

// What is kept must be bounded and be what it claims: anything else refuses
// the whole file as damaged.
TEST(KeptEntries, DamagedEntryRefusesTheWholeFile)
{
    const std::vector<BYTE> valid = MixedFile(1, {1, 8, 1, 16});
    const DWORD end = DWORD(valid.size());
    struct Case { const char* what; std::vector<BYTE> file; };
    const Case cases[] = {
        {"PNG past the end", Patched(valid, 6 + 8, end, 4)}, {"PNG of no bytes", Patched(valid, 6 + 8, 0, 4)},
        {"last record past the end", Cut(valid, end - 1)}, {"PNG of width 0", Patched(valid, 54 + 16, 0, 4)},
        {"PNG without header chunk", Patched(valid, 54 + 12, 0x54414449, 4)},
        {"PNG of 4-bit RGB", Patched(valid, 54 + 24, 0x0204, 2)},
        {"BMP height odd", Patched(valid, end - 1288 + 8, 23, 4)},
        {"BMP of 300 pixels", Patched(Patched(valid, end - 1288 + 4, 300, 4), end - 1288 + 8, 600, 4)},
        {"BMP 24 x 300", Patched(valid, end - 1288 + 8, 600, 4)},
        {"BMP shorter than its rows", Patched(valid, 6 + 32 + 8, 40 + 24 * 48 - 1, 4)},
        // Each would be copied whole: hundreds over one large PNG exhaust the memory.
        {"two entries over one PNG", Patched(valid, 6 + 32 + 12, Get(valid, 6 + 12, 4), 4)},
        {"PNG running into the next kept record", Patched(valid, 6 + 8, end - 54, 4)},
    };
    IconDocument document;
    for (const Case& c : cases) {
        OpenFailure why = OpenFailureNone;
        EXPECT_NE(OpenFailureNone, why = document.OpenBytes(Span(c.file))) << c.what;
        EXPECT_EQ(OpenFailureDamaged, why) << c.what;
    }
    EXPECT_EQ(OpenFailureNone, document.OpenBytes(Span(valid)));
}
