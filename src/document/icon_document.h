#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "document/byte_span.h"
#include "document/clipboard_offer.h"
#include "document/document_change.h"
#include "document/image_edit.h"
#include "document/image_storage.h"
#include "document/kept_entry.h"
#include "document/open_failure.h"
#include "model/history_budget.h"
#include "model/icon_image.h"
#include "model/transforms.h"

// What an editing operation did; the shell chooses the words.
enum class EditOutcome
{
    Done,
    NothingToDo,     // no document, no selection, nothing to undo or to paste
    NoMemory,        // no undo copy or picture could be made: nothing changed
    ClipboardBusy,   // another program holds the clipboard: nothing changed
    TooManyImages,   // one more image would pass what a file holds: nothing changed
};
EditOutcome OutcomeOf(TransformOutcome outcome);

// Why a bitmap was not imported; the shell chooses the words.
enum ImportFailure
{
    ImportFailureNone = 0,
    ImportFailureUnreadable,     // cannot be opened or read at all
    ImportFailureNotBitmap,      // not a bitmap file
    ImportFailureDamaged,        // damaged or cut short
    ImportFailureSize,           // not square, or larger than 256 pixels
    ImportFailureType,           // compressed, or a depth or bit fields the editor does not hold
    ImportFailureOutOfMemory,
    ImportFailureTooManyImages,  // added, it would pass the images a file holds
    ImportFailureNeedsFit,       // a picture of no icon size, not allowed to be fitted
    ImportFailureNoCodec,        // the system's imaging component cannot read PNG
};

// A PNG picture larger than an icon image or not square is made one only when
// allowed: scaled down to 256 on its longer side and centred on a transparent
// square. The picture's own size and the square's side are given back either way.
struct PictureFit
{
    bool allowed = false;
    int width = 0;
    int height = 0;
    int side = 0;
    SIZE fitted = {};   // the picture inside the square
};

// Why a document was not written; the shell chooses the words.
enum class SaveFailure
{
    None,
    NothingToSave,   // no image, no kind of file, or an image without pixels
    TooLarge,        // more images or bytes than the editor reads back
    NoMemory,        // the file's bytes could not be built in memory
    NotWritten,      // the file could not be created, written or replaced
};

// What building the missing sizes did; the shell chooses the words.
enum class SizesOutcome
{
    Added,
    NoneMissing,     // the document holds every size of the set already
    NoImage,
    TooManyImages,   // with them the file would pass what the editor reads back
    NoMemory,        // nothing was added
};

// The sides Windows looks for in an application's icon, smallest first.
const int kWindowsIconSizes[] = { 16, 20, 24, 32, 40, 48, 64, 96, 256 };

struct ClipboardPicture;
struct RecoveryRecord;

// The two kinds of file, told by the extension of a path.
enum class IconFileKind { None, Icon, Cursor };
IconFileKind FileKindOfPath(const wchar_t* path);

// The one open icon or cursor file: its images, the current one, the deleted
// ones that can be put back, the entries of its file kept without being
// editable, the selection, the path and the modified flag.
// It reports its changes to its observers (document_change.h), and to its
// callers by what its operations answer: it shows nothing itself.
class IconDocument
{
    friend class ImageEdit;
    friend struct ModifiedFlagForTests;

public:
    IconDocument();
    ~IconDocument();
    IconDocument(const IconDocument&) = delete;
    IconDocument& operator=(const IconDocument&) = delete;

    // Images (icon_document.cpp)
    bool IsOpen() const;
    int GetImageCount() const;
    bool CanDeleteImage() const;
    bool HasDeletedImage() const;
    IconImage* GetCurrentImage() const;
    // The image at a position of the list, null past its end.
    IconImage* GetImage(int position) const;
    int GetCurrentIndex() const;
    EditOutcome SelectImage(int position);
    // Whether one more image keeps the file within what the editor reads back;
    // adding, importing and restoring are refused past it.
    bool CanAddImage() const;
    // A blank image appended and made current. Added to an open document it
    // marks it modified; the first one makes a new, unmodified document.
    EditOutcome AddNewImage(int size, int bitCount);
    // Builds from the current image every size of the Windows set that the
    // document does not hold (as an image or a kept entry), as 32-bit images
    // appended in size order, all or none; the current image stays current.
    // added receives their sides (all_sizes.cpp).
    SizesOutcome AddMissingSizes(std::vector<int>& added);
    EditOutcome DeleteCurrentImage();
    EditOutcome RestoreDeletedImage();
    void CloseDocument();
    // The entries of the opened file that are not editable, in file order:
    // Save writes them back after the images. Only Close, New, a replacing
    // import and the next open drop them.
    const std::vector<KeptEntry>& GetKeptEntries() const { return kept_; }

    // History of the current image
    bool CanUndo() const;
    bool CanRedo() const;
    EditOutcome Undo();
    EditOutcome Redo();

    // The one route for a change of the current image (image_edit.h). Not
    // open when there is no image, or when the undo copy could not be made:
    // the change is then refused.
    ImageEdit BeginEdit(EditWhat what);

    // State and notification (document_state.cpp). An observer is told of
    // every change until it is removed; it must not outlive the document
    // unremoved.
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    bool IsModified() const { return modified_ != 0; }
    // Counts the changes made, so that one who keeps a copy knows it is behind.
    unsigned long GetChangeCount() const { return changes_; }
    // The whole path, however long; empty for a document never saved.
    const wchar_t* GetFilePath() const { return path_.c_str(); }
    // The selection in pixels of the current image, corners in either order.
    void SetSelection(const RECT& pixels);
    void ClearSelection();
    bool HasSelection() const { return hasSelection_; }
    RECT GetSelection() const { return selection_; }
    // Selects the whole current image, (0, 0, size, size) exactly.
    EditOutcome SelectAll();
    // The painting colour of a button on the current image: an entry of its
    // palette (its count for the transparent colour), or a colour of an image
    // without one. Not content: nothing is marked modified.
    void SetPaintingIndex(bool left, int index);
    void SetPaintingColour(bool left, COLORREF colour);

    // Transforms of the current image (document_transforms.cpp)
    EditOutcome ClearCurrentImage();
    EditOutcome ShiftImage(int dx, int dy);
    EditOutcome MirrorImage(int vertical);

    // Clipboard (clipboard.cpp): the shell opens the clipboard and moves the data.
    // The selection as the clipboard formats it is put in, most preferred first.
    EditOutcome CopySelection(ClipboardOffer& offer) const;
    // The selected pixels cleared to the right colour, as a cut does once its
    // copy reached the clipboard.
    EditOutcome EraseSelectedPixels();
    // Pastes the data of a clipboard format (PasteFormat) at the selection's
    // top-left corner (or 0, 0), clipped, as one undo step.
    EditOutcome PasteClipboardData(UINT format, HANDLE data);
    // The same from the bytes of a packed DIB (CF_DIB, or CF_DIBV5 whose alpha a
    // 32-bit image keeps), checked before GDI sees them.
    EditOutcome PastePackedDib(ByteSpan dib);

    // Files (icon_file.cpp, bitmap_import.cpp): each answers the reason of a
    // failure, the None value on success.
    OpenFailure OpenFile(const wchar_t* path);
    // Opens the bytes of an icon or cursor file as a document without a path.
    OpenFailure OpenBytes(ByteSpan file);
    SaveFailure WriteIconFile(const wchar_t* path);
    // The whole file of that kind, as WriteIconFile puts it on disk.
    SaveFailure BuildFileBytes(IconFileKind kind, std::vector<BYTE>& bytes) const;
    // A bitmap or PNG file as an image; fit, when given, says whether a picture
    // of no icon size may be fitted (refused with ImportFailureNeedsFit otherwise).
    ImportFailure ImportBitmap(const wchar_t* path, bool replace, PictureFit* fit = nullptr);
    // The same from the bytes of a bitmap or PNG file.
    ImportFailure ImportBitmapBytes(ByteSpan file, bool replace, PictureFit* fit = nullptr);
    // Writes the document to path and makes it the document's file.
    SaveFailure SaveDocumentTo(const wchar_t* path);
    // Opens a recovery copy as the document the user was working on: modified,
    // with its record's path (empty for one never saved), current image and
    // hotspots.
    OpenFailure OpenRecoveryCopy(const wchar_t* copy, const RecoveryRecord& record);

private:
    typedef std::vector<std::unique_ptr<IconImage>> ImageList;
    struct DeletedImage
    {
        std::unique_ptr<IconImage> image;
        size_t formerPosition;
    };

    void AppendImage(std::unique_ptr<IconImage> image);  // appends and makes it current
    void TakeImages(ImageList images, std::vector<KeptEntry> kept);  // the content of an opened file
    // Every change of the document's content ends here: counted, flagged, told.
    void MarkModified(unsigned changes);
    void SetModified(bool value);
    // Told now, or when the outermost batch ends (ChangeBatch, document_state.cpp).
    void Notify(unsigned changes);
    // Changes made while one lives are told once, when the outermost ends.
    class Batch
    {
    public:
        explicit Batch(IconDocument& document) : document_(document) { ++document_.batches_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        IconDocument& document_;
    };
    EditOutcome PastePicture(const ClipboardPicture& picture);
    // The bytes of the file written now, with one more image when given.
    ULONGLONG FileByteCount(const IconImage* added) const;
    // Whether the file with that image added stays within both bounds of the reader.
    bool CanAdd(const IconImage& image) const;
    void MoveSelection(int size, int dx, int dy);
    void SetFilePath(const wchar_t* path);

    ImageList images_;
    size_t current_ = 0;                        // meaningful while images_ holds any
    std::vector<DeletedImage> deleted_;         // the last one is restored first
    std::vector<KeptEntry> kept_;
    ImageStorageTable storage_;                 // of the images read from the file
    std::wstring path_;
    DWORD modified_ = 0;
    unsigned long changes_ = 0;
    RECT selection_ = {};
    bool hasSelection_ = false;
    HistoryBudget budget_;                      // every image taken in is attached
    std::vector<DocumentObserver*> observers_;
    int batches_ = 0;                           // operations under way that tell once at their end
    unsigned pending_ = 0;                      // what they changed so far
};
