#pragma once
#include <windows.h>

// Colour values are laid out like COLORREF: red in bits 0-7, green 8-15, blue 16-23.
const COLORREF TransparentColour = 0xFF000000;
const COLORREF NoColour = 0xFFFFFFFF;

class HistoryBudget;

// One snapshot of an image: its pixels, mask, palette and hotspot. Only the state
// on screen holds the two DIB sections; the others keep the same bytes in plain
// memory (bitmaps null) and take the sections over when they become current.
struct ImageState
{
    BITMAPINFOHEADER colourHeader;
    HBITMAP colourBitmap;
    BYTE* colourBits;
    RGBQUAD* palette;          // 2, 16 or 256 entries, owned
    BITMAPINFOHEADER maskHeader;
    HBITMAP maskBitmap;
    BYTE* maskBits;
    WORD hotspotX;
    WORD hotspotY;
};

struct HistoryNode
{
    ImageState* state;         // owned
    HistoryNode* previous;     // towards the first node: the redo side
    HistoryNode* next;         // towards the last node: the undo side
    ULONGLONG step;            // when recorded or last on screen, in the document's order
};

enum ShapeKind { ShapeLine = 0, ShapeRectangle = 1, ShapeEllipse = 2 };

// One square image of a document with its own undo history. Every pixel,
// palette and hotspot operation works on the current state.
class IconImage
{
public:
    IconImage();
    ~IconImage();
    IconImage(const IconImage&) = delete;
    IconImage& operator=(const IconImage&) = delete;

    // Building and releasing (icon_image.cpp, icon_file.cpp, bitmap_import.cpp)
    int CreateBlank(int size, int bitCount);
    int LoadFromIconData(HANDLE file, DWORD offset);
    // infoBlock holds the infoSize bytes between the file header and bfOffBits;
    // the file is positioned at bfOffBits.
    int LoadFromBitmap(HANDLE file, const BITMAPFILEHEADER* fileHeader, const BYTE* infoBlock,
                       DWORD infoSize);
    void Reset();
    static void FreeState(ImageState* state);   // image_state.cpp

    // Builder support, shared with the file readers (image_state.cpp). NewState
    // gives a zeroed state of the format with both DIB sections made (colour table
    // from palette up to 8 bits) and a copy of the palette (2, 16 or 256 entries);
    // null on failure.
    static ImageState* NewState(int size, int bitCount, const RGBQUAD* palette);
    // Makes state the only history node of an image just Reset, sets the byte
    // counts, the hotspot to the centre, the two indices and their colours.
    // False (state not taken) when memory runs out.
    bool AdoptFirstState(ImageState* state, int colourBytes, int leftIndex, int rightIndex);

    // Tells images apart for the life of the process; an address may be reused.
    unsigned long GetIdentity() const { return identity_; }

    // Format and raw access
    bool IsValid() const;
    int GetSize() const;
    int GetBitCount() const;
    int GetPaletteCount() const;
    const char* GetFormatText() const;
    HBITMAP GetColourBitmap() const;
    HBITMAP GetMaskBitmap() const;
    void* GetBits(int kind) const;      // 0 colour bits, 1 mask bits, 2 palette
    int GetResourceSize() const { return resourceSize_; }
    int GetColourBytes() const { return colourBytes_; }
    int GetPaletteBytes() const { return paletteBytes_; }
    int GetMaskBytes() const { return maskBytes_; }
    static int RowStride(int width, int bits);
    static bool IsAcceptedSize(int size);
    static bool IsAcceptedBitCount(int bitCount);
    // The default palette of a bit count: 2, 16 or 256 entries written to out
    // (default_palette.cpp).
    static int DefaultPalette(int bitCount, RGBQUAD* out);

    // Hotspot
    void GetHotspot(WORD* x, WORD* y) const;
    int SetHotspot(WORD x, WORD y);

    // Palette
    COLORREF GetPaletteColour(int index) const;
    int SetPaletteColour(int index, COLORREF colour);
    int IndexOfColour(COLORREF colour) const;

    // The two painting colours (painting_colours.cpp)
    COLORREF GetLeftColour() const;
    COLORREF GetRightColour() const;
    int GetLeftIndex() const;
    int GetRightIndex() const;
    void SetLeftIndex(int index);
    void SetRightIndex(int index);
    COLORREF SetLeftColour(COLORREF colour);
    COLORREF SetRightColour(COLORREF colour);

    // Pixels
    BYTE* PixelAddress(int x, int y) const;
    int IsTransparent(int x, int y) const;
    COLORREF GetPixelColour(int x, int y) const;
    int GetPixelIndex(int x, int y) const;
    int SetPixelIndex(int x, int y, int index);
    int SetPixelColour(int x, int y, COLORREF colour);
    int SetTransparent(int x, int y, bool on);
    // The index transparent pixels hold or will hold, when already determined:
    // a pure query. SettleTransparentIndex, used as a transparent pixel is
    // painted, may turn an unused entry black when there is none yet
    // (transparent_index.cpp).
    int GetTransparentIndex() const;
    int SettleTransparentIndex();
    int FindUnusedIndex() const;

    // History (image_history.cpp). The copy holds no GDI object; null when
    // memory runs out, and then the edit it was for must be refused.
    ImageState* CopyCurrentState() const;
    int CommitState(ImageState* state);
    bool CanUndo() const;
    bool CanRedo() const;
    // 0, and nothing moves, when the target state cannot be put on screen.
    int Undo();
    int Redo();
    // The document's budget this image's history counts against, if any.
    HistoryBudget* GetBudget() const { return budget_; }
    size_t GetHistoryBytes() const { return historyBytes_; }

    // Drawing tools (drawing.cpp)
    bool IsFillTarget(int x, int y, COLORREF target) const;
    int FloodFill(int x, int y, COLORREF target, int strokeIndex, COLORREF strokeColour);
    int PaintPixel(int x, int y, int strokeIndex, COLORREF strokeColour);
    // 0, with nothing drawn, when refused (no image, a bad index, no GDI object left).
    int DrawStrokeSegment(POINT from, POINT to, int strokeIndex, COLORREF strokeColour);
    int DrawShape(ShapeKind shape, POINT start, POINT end, COLORREF strokeColour);
    // A shape as DrawShape lays it down, with pen and no fill, onto any context:
    // the canvas shows a shape being dragged with the same strokes.
    static void DrawShapeOutline(HDC dc, HPEN pen, ShapeKind shape, POINT start, POINT end);

    // Transforms (transforms.cpp); a null rectangle means the whole image
    int ClearImage();
    int ClearRect(const RECT& rect);
    int Shift(const RECT* rect, int dx, int dy);
    int Mirror(const RECT* rect, bool vertical);

private:
    friend class HistoryBudget;
    ImageState* CurrentState() const { return current_ ? current_->state : nullptr; }
    void PrepareTransparentDrawing();           // drawing.cpp
    // History list primitives (image_history.cpp)
    bool AppendState(ImageState* state);
    bool InsertStateAfter(HistoryNode* node, ImageState* state);
    void RemoveNode(HistoryNode* node);
    bool MakeCurrent(HistoryNode* node);
    const HistoryNode* OldestStep() const;
    size_t DropOldestStep();
    void ReleaseHistory();
    void ForgetTransparentIndex();
    void SetByteCounts(int size, int bitCount, int colourBytes);

    unsigned long identity_;
    HistoryNode* first_ = nullptr;
    HistoryNode* last_ = nullptr;
    HistoryNode* current_ = nullptr;
    COLORREF leftColour_ = 0;
    COLORREF rightColour_ = 0;
    int leftIndex_ = 0;
    int rightIndex_ = 0;
    int transparentIndex_ = -1;
    int resourceSize_ = 0;
    int colourBytes_ = 0;
    int paletteBytes_ = 0;
    int maskBytes_ = 0;
    HistoryBudget* budget_ = nullptr;
    IconImage* nextInBudget_ = nullptr;
    size_t historyBytes_ = 0;      // held by the states not on screen
};
