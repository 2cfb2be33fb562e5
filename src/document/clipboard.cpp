#include "document/icon_document.h"

#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "document/dib_v5.h"
#include "model/transforms.h"
#include "win/compose_image.h"
#include "win/dib_section.h"
#include "win/gdi_guards.h"

namespace {

// Pictures larger than this cannot land in an image anyway; only their
// top-left corner is kept.
const int kLargestImage = 256;

// A 32-bit top-down DIB section into which GDI converts whatever the clipboard holds.
class Canvas32
{
public:
    Canvas32(int width, int height) : bitmap_(CreateTopDown32(width, height, &bits_)), dc_(nullptr) {}
    bool Ok() const { return bitmap_.Ok() && dc_.Ok() && bits_; }
    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    const DWORD* Bits() const { return static_cast<const DWORD*>(bits_); }
private:
    void* bits_ = nullptr;     // declared first: set while the bitmap is made
    OwnedBitmap bitmap_;
    MemoryDC dc_;
};

// The bytes of a packed DIB's colour table (or bit-field masks) and pixel rows;
// false when the header does not describe a picture this reader takes
// (compressed, unknown depth, absurd size).
bool PackedDibLayout(const BITMAPINFOHEADER& header, ULONGLONG* tableBytes, ULONGLONG* pixelBytes)
{
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0
        || header.biHeight == LONG_MIN || header.biPlanes != 1)
        return false;
    const LONGLONG height = header.biHeight < 0 ? -LONGLONG(header.biHeight) : header.biHeight;
    if (header.biWidth > 0x10000 || height > 0x10000)
        return false;
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    ULONGLONG table = 0;
    if (header.biCompression == BI_BITFIELDS) {
        if (bits != 16 && bits != 32)
            return false;
        // Three masks follow a plain header; later headers hold them inside.
        table = header.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    } else if (header.biCompression != BI_RGB) {
        return false;
    }
    // The table GDI reads: biClrUsed entries when set, at most 256, whatever the
    // depth; else the full table up to 8 bits. The pixels follow it.
    const DWORD kMostEntries = 256;
    if (header.biClrUsed)
        table += 4 * ULONGLONG(header.biClrUsed < kMostEntries ? header.biClrUsed : kMostEntries);
    else if (bits <= 8)
        table += 4 * ULONGLONG(DWORD(1) << bits);
    *tableBytes = table;
    *pixelBytes = ULONGLONG(((LONGLONG(header.biWidth) * bits + 31) / 32) * 4 * height);
    return true;
}

// Reads a packed DIB: checked against the bytes there are before GDI sees it.
bool ReadPackedDib(ByteSpan dib, ClipboardPicture* picture)
{
    ULONGLONG tableBytes = 0, pixelBytes = 0;
    BITMAPINFOHEADER header;
    if (!dib.CopyTo(0, &header, sizeof header) || !PackedDibLayout(header, &tableBytes, &pixelBytes)
        || ULONGLONG(header.biSize) + tableBytes + pixelBytes > dib.Size())
        return false;
    const BYTE* data = dib.At(0, dib.Size());
    const int width = header.biWidth < kLargestImage ? header.biWidth : kLargestImage;
    const LONG fullHeight = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const int height = fullHeight < kLargestImage ? fullHeight : kLargestImage;
    // GDI would drop the alpha of 32-bit pixels: those are read here.
    if (ReadAlphaDib(dib, header, header.biSize + tableBytes, width, height, picture))
        return true;
    Canvas32 canvas(width, height);
    if (!canvas.Ok())
        return false;
    SelectGuard keep(canvas.Dc(), canvas.Bitmap());
    // Drawn at full size: GDI clips it to the canvas, keeping the top-left corner.
    const bool ok = StretchDIBits(canvas.Dc(), 0, 0, header.biWidth, fullHeight, 0, 0, header.biWidth, fullHeight,
                                  data + header.biSize + tableBytes, reinterpret_cast<const BITMAPINFO*>(data),
                                  DIB_RGB_COLORS, SRCCOPY) != 0;
    GdiFlush();
    if (!ok)
        return false;
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(canvas.Bits(), canvas.Bits() + size_t(width) * height);
    return true;
}

bool ReadPackedDib(HANDLE handle, ClipboardPicture* picture)
{
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(handle));
    if (!data)
        return false;
    const bool ok = ReadPackedDib(ByteSpan(data, GlobalSize(handle)), picture);
    GlobalUnlock(handle);
    return ok;
}

// A CF_DIBV5 is taken only for its alpha: without it, CF_DIB says the same.
bool ReadDibWithAlpha(HANDLE handle, ClipboardPicture* picture)
{
    return ReadPackedDib(handle, picture) && picture->hasAlpha;
}

// Reads a CF_BITMAP by copying its top-left corner into a 32-bit canvas, which
// converts from the device's format.
bool ReadBitmap(HANDLE handle, ClipboardPicture* picture)
{
    HBITMAP bitmap = static_cast<HBITMAP>(handle);
    BITMAP description = {};
    if (!GetObjectA(bitmap, sizeof description, &description) || description.bmWidth <= 0
        || description.bmHeight <= 0)
        return false;
    const int width = description.bmWidth < kLargestImage ? description.bmWidth : kLargestImage;
    const int height = description.bmHeight < kLargestImage ? description.bmHeight : kLargestImage;
    Canvas32 canvas(width, height);
    MemoryDC source(nullptr);
    if (!canvas.Ok() || !source.Ok())
        return false;
    SelectGuard keepCanvas(canvas.Dc(), canvas.Bitmap());
    SelectGuard keepSource(source, bitmap);
    if (GetCurrentObject(source, OBJ_BITMAP) != bitmap
        || !BitBlt(canvas.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY))
        return false;
    GdiFlush();
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(canvas.Bits(), canvas.Bits() + size_t(width) * height);
    return true;
}

// The device-independent form is preferred: it carries exactly what the other
// program placed, whatever the display's depth. A malformed one is refused
// rather than handed to the system to convert into a bitmap.
struct PictureReader
{
    UINT format;
    bool (*read)(HANDLE data, ClipboardPicture* picture);
};
// CF_DIBV5 comes first, for its alpha.
const PictureReader kReaders[] = {
    {CF_DIBV5, ReadDibWithAlpha},
    {CF_DIB, ReadPackedDib},
    {CF_BITMAP, ReadBitmap},
};

COLORREF ColourOfPixel(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The palette entry nearest to a colour (least squared distance, lowest index on ties).
int NearestIndex(const IconImage& image, COLORREF colour)
{
    const int count = image.GetPaletteCount();
    int best = 0;
    long bestDistance = LONG_MAX;
    for (int i = 0; i < count; ++i) {
        const COLORREF entry = image.GetPaletteColour(i);
        const long dr = long(GetRValue(entry)) - GetRValue(colour);
        const long dg = long(GetGValue(entry)) - GetGValue(colour);
        const long db = long(GetBValue(entry)) - GetBValue(colour);
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

UINT PasteFormat(size_t i)
{
    return i < sizeof kReaders / sizeof kReaders[0] ? kReaders[i].format : 0;
}

namespace {

void FreeClipboardData(UINT format, HANDLE data)
{
    if (!data)
        return;
    if (format == CF_BITMAP)
        DeleteObject(data);
    else
        GlobalFree(data);
}

}  // namespace

ClipboardOffer::~ClipboardOffer()
{
    for (size_t i = 0; i < count_; ++i)
        FreeClipboardData(items_[i].format, items_[i].data);
}

bool ClipboardOffer::Add(UINT format, HANDLE data)
{
    if (count_ == Capacity) {
        FreeClipboardData(format, data);
        return false;
    }
    items_[count_++] = Item{format, data};
    return true;
}

EditOutcome IconDocument::CopySelection(ClipboardOffer& offer) const
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid() || !hasSelection_)
        return EditOutcome::NothingToDo;
    const int w = selection_.right - selection_.left;
    const int h = selection_.bottom - selection_.top;
    // An empty frame gives no picture to hand over.
    if (w <= 0 || h <= 0)
        return EditOutcome::NothingToDo;

    // A bitmap of the display's format, as the windows that show it have.
    WindowDC screen(nullptr);
    if (!screen.Ok())
        return EditOutcome::NoMemory;
    OwnedBitmap picture(CreateCompatibleBitmap(screen, w, h));
    MemoryDC target(screen);
    if (!picture.Ok() || !target.Ok())
        return EditOutcome::NoMemory;
    {
        // Transparent pixels keep the button face, opaque ones turn black and
        // then take their colour: the image as every view shows it.
        SelectGuard keepPicture(target, picture);
        const RECT all = { 0, 0, w, h };
        const MaskedPicture shown = { image->GetMaskBitmap(), image->GetColourBitmap() };
        if (!ComposeImage(target, all, shown, selection_, GetSysColorBrush(COLOR_BTNFACE)))
            return EditOutcome::NoMemory;
    }
    // The offer owns the bitmap from here, whether it keeps it or not.
    if (!offer.Add(CF_BITMAP, picture.Release()))
        return EditOutcome::NoMemory;
    // A 32-bit image also hands over its alpha, for the programs that read it.
    std::vector<BYTE> dib;
    if (image->GetBitCount() == 32 && BuildDibV5(*image, selection_, dib)) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
        void* bytes = block ? GlobalLock(block) : nullptr;
        if (!bytes) {
            if (block)
                GlobalFree(block);
            return EditOutcome::NoMemory;
        }
        memcpy(bytes, dib.data(), dib.size());
        GlobalUnlock(block);
        if (!offer.Add(CF_DIBV5, block))
            return EditOutcome::NoMemory;
    }
    return EditOutcome::Done;
}

// Pixels that already held the background leave the image, and its modified
// flag, as they were.
EditOutcome IconDocument::EraseSelectedPixels()
{
    if (!IsOpen() || !hasSelection_)
        return EditOutcome::NothingToDo;
    ImageEdit edit = BeginEdit(EditWhat::Pixels);
    if (!edit.IsOpen())
        return EditOutcome::NoMemory;
    if (ClearRect(*edit.Image(), selection_) == TransformOutcome::Done) {
        edit.MarkChanged();
        edit.Commit();
    }
    return EditOutcome::Done;
}

EditOutcome IconDocument::PasteClipboardData(UINT format, HANDLE data)
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid() || !data)
        return EditOutcome::NothingToDo;
    ClipboardPicture picture;
    for (const PictureReader& reader : kReaders) {
        if (reader.format == format)
            return reader.read(data, &picture) ? PastePicture(picture) : EditOutcome::NothingToDo;
    }
    return EditOutcome::NothingToDo;
}

EditOutcome IconDocument::PastePackedDib(ByteSpan dib)
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    ClipboardPicture picture;
    if (!ReadPackedDib(dib, &picture))
        return EditOutcome::NothingToDo;
    return PastePicture(picture);
}

EditOutcome IconDocument::PastePicture(const ClipboardPicture& picture)
{
    IconImage* image = GetCurrentImage();
    const int size = image->GetSize();
    const LONG left = hasSelection_ ? selection_.left : 0;
    const LONG top = hasSelection_ ? selection_.top : 0;
    const bool byIndex = image->GetBitCount() <= 8;
    const bool withAlpha = picture.hasAlpha && image->GetBitCount() == 32;
    COLORREF lastColour = NoColour;
    int lastIndex = 0;
    ImageEdit edit = BeginEdit(EditWhat::Pixels);
    if (!edit.IsOpen())
        return EditOutcome::NoMemory;
    int pasted = 0;
    for (int y = 0; y < picture.height; ++y) {
        const LONGLONG iy = LONGLONG(top) + y;
        if (iy < 0 || iy >= size)
            continue;
        for (int x = 0; x < picture.width; ++x) {
            const LONGLONG ix = LONGLONG(left) + x;
            if (ix < 0 || ix >= size)
                continue;
            const DWORD pixel = picture.pixels[size_t(y) * picture.width + x];
            const COLORREF colour = ColourOfPixel(pixel);
            // Pasted pixels are opaque but for a 32-bit image given alpha: both
            // writes clear the mask bit.
            int written = 0;
            if (withAlpha) {
                written = image->SetPixelRgba(int(ix), int(iy), colour, BYTE(pixel >> 24));
            } else if (byIndex) {
                if (colour != lastColour) {
                    lastColour = colour;
                    lastIndex = NearestIndex(*image, colour);
                }
                written = image->SetPixelIndex(int(ix), int(iy), lastIndex);
            } else {
                written = image->SetPixelColour(int(ix), int(iy), colour);
            }
            if (written)
                pasted = 1;
        }
    }
    if (!pasted)
        return EditOutcome::NothingToDo;
    edit.MarkChanged();
    edit.Commit();
    return EditOutcome::Done;
}
