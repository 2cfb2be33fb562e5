#include "document_test_support.h"

#include <objbase.h>
#include <ole2.h>

#include <algorithm>
#include <thread>

#include "win/png_codec.h"

using namespace doctest;

namespace {

// Opaque, half transparent and clear pixels of varied colours.
BgraPicture SoftPicture(int size)
{
    BgraPicture picture;
    picture.width = picture.height = size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const BYTE alpha = (x + y) % 3 == 0 ? 255 : (x + y) % 3 == 1 ? 128 : 0;
            const BYTE b = BYTE(x * 11), g = BYTE(y * 7), r = BYTE(x * y);
            picture.pixels.insert(picture.pixels.end(), {alpha ? b : BYTE(0), alpha ? g : BYTE(0),
                                                         alpha ? r : BYTE(0), alpha});
        }
    return picture;
}

std::vector<BYTE> Encoded(const BgraPicture& picture)
{
    std::vector<BYTE> png;
    EXPECT_EQ(PngOutcome::Done, EncodePng(picture, png));
    return png;
}

// The PNG with its header chunk remade for another size (CRC right).
std::vector<BYTE> Resized(const std::vector<BYTE>& png, DWORD width, DWORD height)
{
    std::vector<BYTE> header(png.begin() + 16, png.begin() + 29), out(png.begin(), png.begin() + 8);
    for (int i = 0; i < 4; ++i) {
        header[i] = BYTE(width >> (24 - 8 * i));
        header[4 + i] = BYTE(height >> (24 - 8 * i));
    }
    AppendChunk(out, "IHDR", header);
    out.insert(out.end(), png.begin() + 33, png.end());
    return out;
}

std::vector<BYTE> RecordOf(const std::vector<BYTE>& file, int entry)
{
    const size_t at = 6 + 16 * entry;
    return std::vector<BYTE>(file.begin() + Get(file, at + 12, 4), file.begin() + Get(file, at + 12, 4) + Get(file, at + 8, 4));
}

BgraPicture Decoded(const std::vector<BYTE>& png)
{
    BgraPicture picture;
    EXPECT_EQ(PngOutcome::Done, DecodePng(png.data(), png.size(), 256, picture));
    return picture;
}

} // namespace

// Each refuses the whole file as damaged and leaves the open document alone.
TEST(PngEntries, DamagedRecordsAreRefused)
{
    const std::vector<BYTE> png = Encoded(SoftPicture(16));
    ASSERT_GT(png.size(), 60u);
    const std::vector<BYTE> bmp = BmpRecord(16, 32);
    struct Case { const char* what; std::vector<BYTE> record; BYTE listed; };
    const Case cases[] = {
        {"bad CRC", Patched(png, png.size() - 13, png[png.size() - 13] ^ 1u, 1), 16},
        {"bad CRC in the header", Patched(png, 20, 17, 1), 16},
        {"truncated", Cut(png, png.size() - 12), 16},
        {"cut inside a chunk", Cut(png, png.size() - 20), 16},
        {"IHDR size unlike the directory", png, 32},
        {"width 0", Resized(png, 0, 16), 16},
        {"width above 256", Resized(png, 300, 300), 0},
    };
    IconDocument document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
    const DocumentSnapshot before(document);
    for (const Case& c : cases) {
        EXPECT_EQ(OpenFailureDamaged, document.OpenBytes(Span(IconFileOf(1, {{bmp, 16, 1, 32}, {c.record, c.listed, 1, 32}}))))
            << c.what;
        EXPECT_TRUE(before == DocumentSnapshot(document)) << c.what;
    }
}

// In file order; written back byte for byte until a pixel changes, then
// encoded again with that pixel and the rest's alpha. Hotspots from the entry.
// Deleted and restored or edited and undone, the image keeps its record.
TEST(PngEntries, OpenedEditableKeptByteForByteUntilChanged)
{
    const BgraPicture picture = SoftPicture(20);
    const std::vector<BYTE> png = Encoded(picture);
    const std::vector<BYTE> file = IconFileOf(2, {{BmpRecord(16, 24), 16, 1, 2}, {png, 20, 3, 4}});
    IconDocument document;
    ASSERT_EQ(OpenFailureNone, document.OpenBytes(Span(file)));
    ASSERT_EQ(2, document.GetImageCount());
    IconImage& image = *document.GetImage(1);
    ASSERT_EQ("20x20x32-bits", image.GetFormatText());
    EXPECT_EQ(3, image.GetHotspot().x);
    EXPECT_EQ(4, image.GetHotspot().y);
    EXPECT_TRUE(image.IsTransparent(2, 0));
    EXPECT_EQ(RGB(0, 7, 0), image.GetPixelColour(0, 1));
    EXPECT_EQ(128, image.GetColourBits()[(19 * 20 + 1) * 4 + 3]);  // (1, 0), bottom-up rows

    ASSERT_EQ(EditOutcome::Done, document.SelectImage(1));
    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    ASSERT_EQ(EditOutcome::Done, document.RestoreDeletedImage());
    std::vector<BYTE> written;
    ASSERT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Cursor, written));
    EXPECT_EQ(png, RecordOf(written, 1));
    EXPECT_EQ(0x00040003u, Get(written, 6 + 16 + 4, 4));

    ImageEdit edit = document.BeginEdit(EditWhat::Pixels);
    ASSERT_TRUE(edit.Image() == &image && image.SetPixelColour(2, 0, RGB(1, 2, 3)));
    edit.MarkChanged();
    ASSERT_TRUE(edit.Commit());
    ASSERT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, written));
    const std::vector<BYTE> again = RecordOf(written, 1);
    ASSERT_TRUE(again.size() > 8 && StartsWithPngSignature(again.data()) && again != png);
    EXPECT_EQ(0x00200001u, Get(written, 6 + 16 + 4, 4));
    BgraPicture expected = picture;
    const BYTE painted[4] = {3, 2, 1, 255};
    std::copy(painted, painted + 4, expected.pixels.begin() + 2 * 4);
    EXPECT_EQ(expected.pixels, Decoded(again).pixels);
    // Undone, the image is as read again, and so is its record.
    ASSERT_EQ(EditOutcome::Done, document.Undo());
    ASSERT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, written));
    EXPECT_EQ(png, RecordOf(written, 1));
}

// A 256-pixel image new to the file goes to disk as PNG; one read as a
// bitmap stays a bitmap.
TEST(PngEntries, StorageOfNewAndReadImages)
{
    IconDocument document;
    ASSERT_EQ(OpenFailureNone, document.OpenBytes(Span(IconFileOf(1, {{BmpRecord(256, 24), 0, 1, 24}}))));
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(256, 4));
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(48, 32));
    std::vector<BYTE> written;
    ASSERT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, written));
    EXPECT_EQ(40u, Get(RecordOf(written, 0), 0, 4));
    const std::vector<BYTE> png = RecordOf(written, 1);
    EXPECT_EQ(0, written[6 + 16]);
    EXPECT_EQ(32, Word(written, 6 + 16 + 6));
    EXPECT_EQ(256, Decoded(png).width);
    EXPECT_EQ(40u, Get(RecordOf(written, 2), 0, 4));
}

// The codec runs on a thread with no COM, or in either apartment, and leaves
// the thread's COM as it found it.
TEST(PngCodec, AnyThreadLeavesItsComAlone)
{
    const std::vector<BYTE> png = Encoded(SoftPicture(8));
    for (int setup : {0, 1, 2}) {
        std::thread([&] {
            const HRESULT started = setup == 1 ? OleInitialize(nullptr)
                                  : setup == 2 ? CoInitializeEx(nullptr, COINIT_MULTITHREADED) : S_OK;
            ASSERT_EQ(S_OK, started);
            BgraPicture picture;
            std::vector<BYTE> out;
            EXPECT_EQ(PngOutcome::Done, DecodePng(png.data(), png.size(), 8, picture)) << setup;
            EXPECT_EQ(PngOutcome::Refused, DecodePng(png.data(), png.size(), 7, picture)) << setup;
            EXPECT_EQ(PngOutcome::Done, EncodePng(picture, out)) << setup;
            const HRESULT again = CoInitializeEx(nullptr, setup == 2 ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED);
            EXPECT_EQ(setup == 0 ? S_OK : S_FALSE, again) << setup;
            CoUninitialize();
            if (setup == 1)
                OleUninitialize();
            if (setup == 2)
                CoUninitialize();
        }).join();
    }
}
