#include "document/image_edit.h"

#include <utility>

#include "document/icon_document.h"

ImageEdit::ImageEdit(IconDocument& document, IconImage& image, EditWhat what, std::unique_ptr<ImageState> before)
    : document_(&document), identity_(image.GetIdentity()), what_(what), before_(std::move(before))
{
}

ImageEdit::~ImageEdit()
{
    Drop();
}

ImageEdit::ImageEdit(ImageEdit&& other) noexcept
{
    *this = std::move(other);
}

ImageEdit& ImageEdit::operator=(ImageEdit&& other) noexcept
{
    if (this != &other) {
        Drop();
        document_ = other.document_;
        identity_ = other.identity_;
        what_ = other.what_;
        before_ = std::move(other.before_);
        changed_ = other.changed_;
        other.document_ = nullptr;
        other.changed_ = false;
    }
    return *this;
}

// Found by identity, never through a kept pointer: the image may be gone.
IconImage* ImageEdit::FindImage() const
{
    if (!document_)
        return nullptr;
    for (int i = 0; i < document_->GetImageCount(); ++i) {
        IconImage* image = document_->GetImage(i);
        if (image->GetIdentity() == identity_)
            return image->IsValid() ? image : nullptr;
    }
    return nullptr;
}

IconImage* ImageEdit::Image() const
{
    IconImage* image = FindImage();
    return image && image == document_->GetCurrentImage() ? image : nullptr;
}

// A change that no longer reaches the image shown (a command switched or
// replaced it meanwhile) is given up rather than left there unrecorded.
bool ImageEdit::Commit()
{
    IconImage* image = Image();
    if (!changed_ || !image) {
        Drop();
        return false;
    }
    if (before_)
        image->CommitState(std::move(before_));
    document_->MarkModified(what_ == EditWhat::Hotspot   ? ChangeHotspot
                            : what_ == EditWhat::Palette ? ChangePalette
                                                         : ChangePixels);
    changed_ = false;
    document_ = nullptr;
    return true;
}

void ImageEdit::Drop()
{
    if (changed_ && before_) {
        if (IconImage* image = FindImage())
            image->RestoreState(*before_);
    }
    changed_ = false;
    before_.reset();
    document_ = nullptr;
}
