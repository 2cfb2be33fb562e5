#include "document/icon_document.h"

#include <new>
#include <utility>

#include "document/icon_file_layout.h"
#include "document/recovery_record.h"
#include "model/image_format.h"

IconDocument::IconDocument() = default;

// Nobody is told of the document going away.
IconDocument::~IconDocument()
{
    observers_.clear();
    CloseDocument();
}

// ---- Images ----------------------------------------------------------------

bool IconDocument::IsOpen() const
{
    return !images_.empty();
}

int IconDocument::GetImageCount() const
{
    return static_cast<int>(images_.size());
}

bool IconDocument::CanDeleteImage() const
{
    return images_.size() > 1;
}

bool IconDocument::HasDeletedImage() const
{
    return !deleted_.empty();
}

IconImage* IconDocument::GetCurrentImage() const
{
    return images_.empty() ? nullptr : images_[current_].get();
}

IconImage* IconDocument::GetImage(int position) const
{
    return position >= 0 && size_t(position) < images_.size() ? images_[position].get() : nullptr;
}

int IconDocument::GetCurrentIndex() const
{
    return images_.empty() ? 0 : static_cast<int>(current_);
}

// A rectangle drawn on one image means nothing on another: whatever replaces
// or switches the current image drops the selection.
EditOutcome IconDocument::SelectImage(int position)
{
    if (!GetImage(position))
        return EditOutcome::NothingToDo;
    if (size_t(position) == current_)
        return EditOutcome::Done;
    Batch batch(*this);
    current_ = size_t(position);
    ClearSelection();
    Notify(ChangeImageList);
    return EditOutcome::Done;
}

// The containers report a lack of memory by throwing; the program's answer to it
// is a refused operation, so it is caught where they grow.
void IconDocument::AppendImage(std::unique_ptr<IconImage> image)
{
    budget_.Attach(image.get());
    images_.push_back(std::move(image));
    current_ = images_.size() - 1;
    ClearSelection();
}

void IconDocument::TakeImages(ImageList images, std::vector<KeptEntry> kept)
{
    Batch batch(*this);
    CloseDocument();
    images_ = std::move(images);
    kept_ = std::move(kept);
    for (const std::unique_ptr<IconImage>& image : images_)
        budget_.Attach(image.get());
    current_ = 0;
    Notify(ChangeWholeDocument);
}

bool IconDocument::CanAddImage() const
{
    return images_.size() + kept_.size() < size_t(kMostImagesInFile);
}

EditOutcome IconDocument::AddNewImage(int size, int bitCount)
{
    if (!CanAddImage())
        return EditOutcome::TooManyImages;
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return EditOutcome::NothingToDo;
    std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
    if (!image || !image->CreateBlank(size, bitCount))
        return EditOutcome::NoMemory;
    if (!CanAdd(*image))
        return EditOutcome::TooManyImages;
    // The first image of an empty document makes a new document, not a change.
    const bool added = IsOpen();
    Batch batch(*this);
    try {
        AppendImage(std::move(image));
    } catch (const std::bad_alloc&) {
        return EditOutcome::NoMemory;
    }
    if (added)
        MarkModified(ChangeImageList);
    else
        Notify(ChangeWholeDocument);
    return EditOutcome::Done;
}

EditOutcome IconDocument::DeleteCurrentImage()
{
    if (images_.size() <= 1)
        return EditOutcome::NothingToDo;
    try {
        deleted_.push_back(DeletedImage{std::move(images_[current_]), current_});
    } catch (const std::bad_alloc&) {
        return EditOutcome::NoMemory;
    }
    Batch batch(*this);
    images_.erase(images_.begin() + current_);
    if (current_ > 0)
        --current_;
    ClearSelection();
    MarkModified(ChangeImageList);
    return EditOutcome::Done;
}

// Back to its former position, or to the end when the list got shorter.
EditOutcome IconDocument::RestoreDeletedImage()
{
    if (deleted_.empty() || images_.empty())
        return EditOutcome::NothingToDo;
    DeletedImage& entry = deleted_.back();
    if (!CanAdd(*entry.image))
        return EditOutcome::TooManyImages;
    const size_t position = entry.formerPosition < images_.size() ? entry.formerPosition : images_.size();
    try {
        images_.insert(images_.begin() + position, std::move(entry.image));
    } catch (const std::bad_alloc&) {
        return EditOutcome::NoMemory;
    }
    Batch batch(*this);
    deleted_.pop_back();
    current_ = position;
    ClearSelection();
    MarkModified(ChangeImageList);
    return EditOutcome::Done;
}

void IconDocument::CloseDocument()
{
    const bool wasSomething = IsOpen() || !path_.empty() || !kept_.empty() || !deleted_.empty() || modified_;
    Batch batch(*this);
    images_.clear();
    deleted_.clear();
    kept_.clear();
    storage_.Clear();
    current_ = 0;
    path_.clear();
    modified_ = 0;
    ClearSelection();
    if (wasSomething)
        Notify(ChangeWholeDocument);
}

// ---- History of the current image -------------------------------------------

bool IconDocument::CanUndo() const
{
    return IsOpen() && GetCurrentImage()->CanUndo();
}

bool IconDocument::CanRedo() const
{
    return IsOpen() && GetCurrentImage()->CanRedo();
}

// A step may put back pixels, palette and hotspot alike.
const unsigned kHistoryStep = ChangePixels | ChangePalette | ChangeColours | ChangeHotspot;

// Stepping through the history changes what Save would write. A step there is
// that cannot be put on screen is refused for lack of resources.
EditOutcome IconDocument::Undo()
{
    if (!CanUndo())
        return EditOutcome::NothingToDo;
    if (!GetCurrentImage()->Undo())
        return EditOutcome::NoMemory;
    MarkModified(kHistoryStep);
    return EditOutcome::Done;
}

EditOutcome IconDocument::Redo()
{
    if (!CanRedo())
        return EditOutcome::NothingToDo;
    if (!GetCurrentImage()->Redo())
        return EditOutcome::NoMemory;
    MarkModified(kHistoryStep);
    return EditOutcome::Done;
}

// ---- Edits -------------------------------------------------------------------

ImageEdit IconDocument::BeginEdit(EditWhat what)
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return ImageEdit();
    std::unique_ptr<ImageState> before;
    if (what == EditWhat::Pixels || what == EditWhat::Hotspot) {
        before = image->CopyCurrentState();
        if (!before)
            return ImageEdit();
    }
    return ImageEdit(*this, *image, what, std::move(before));
}

// ---- Saving ----------------------------------------------------------------

// A record that does not match the copy (one written before the copy that
// never followed) gives no hotspots rather than wrong ones.
OpenFailure IconDocument::OpenRecoveryCopy(const wchar_t* copy, const RecoveryRecord& record)
{
    Batch batch(*this);
    const OpenFailure failure = OpenFile(copy);
    if (failure != OpenFailureNone)
        return failure;
    SetFilePath(record.originalPath.c_str());
    SelectImage(record.currentImage);
    if (record.hotspots.size() == images_.size()) {
        for (size_t i = 0; i < images_.size(); ++i) {
            const Hotspot hotspot = record.hotspots[i];
            if (hotspot.x < images_[i]->GetSize() && hotspot.y < images_[i]->GetSize())
                images_[i]->SetHotspot(hotspot.x, hotspot.y);
        }
    }
    MarkModified(ChangeWholeDocument);
    return OpenFailureNone;
}

SaveFailure IconDocument::SaveDocumentTo(const wchar_t* path)
{
    Batch batch(*this);
    const SaveFailure failure = WriteIconFile(path);
    if (failure != SaveFailure::None)
        return failure;
    if (path != path_.c_str())
        SetFilePath(path);
    return SaveFailure::None;
}
