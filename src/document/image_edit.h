#pragma once
#include <memory>

#include "model/icon_image.h"

class IconDocument;

// What an edit changes. Pixels and the hotspot are undo steps; a palette
// entry is changed in place and is not, nor is a mirror: it goes back with the
// step before it.
enum class EditWhat { Pixels, Hotspot, Palette, PixelsWithoutStep };

// One change of the current image, handed out by IconDocument::BeginEdit: the
// copy for the undo step is taken first, and Commit records it, marks the
// document modified and tells its observers, only when the change was made. An
// edit given up (dropped without Commit) puts the image back as it found it;
// an edit without a step takes no copy, so its change is made by one call that
// cannot stop half way, just before its Commit.
class ImageEdit
{
public:
    ImageEdit() = default;
    ~ImageEdit();
    ImageEdit(ImageEdit&& other) noexcept;
    ImageEdit& operator=(ImageEdit&& other) noexcept;
    ImageEdit(const ImageEdit&) = delete;
    ImageEdit& operator=(const ImageEdit&) = delete;

    // False for an edit refused (nothing to edit, or no undo copy could be made)
    // and after Commit or Drop.
    bool IsOpen() const { return document_ != nullptr; }
    // The image the edit began on while it is still the current one; null once
    // a command replaced or switched it.
    IconImage* Image() const;
    // The tool's own word that it changed something: a pixel painted over with
    // its own colour is still a change, a fill of a region of its colour is not.
    void MarkChanged() { changed_ = true; }
    bool HasChanged() const { return changed_; }
    // True when a change was recorded.
    bool Commit();
    void Drop();

private:
    friend class IconDocument;
    ImageEdit(IconDocument& document, IconImage& image, EditWhat what, std::unique_ptr<ImageState> before);
    // The image with the edit's identity anywhere in the document, or null.
    IconImage* FindImage() const;

    IconDocument* document_ = nullptr;
    unsigned long identity_ = 0;
    EditWhat what_ = EditWhat::Pixels;
    std::unique_ptr<ImageState> before_;
    bool changed_ = false;
};
