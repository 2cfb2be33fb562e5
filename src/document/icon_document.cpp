#include "document/icon_document.h"

#include <commdlg.h>
#include <cstddef>
#include <new>
#include <string.h>

#include "win/identifiers.h"

namespace {

// Frees a list of images, open or deleted, with the images each node owns.
template <typename Node>
void FreeImageList(Node*& first)
{
    while (first) {
        Node* next = first->next;
        first->image->Reset();
        delete first->image;
        delete first;
        first = next;
    }
}

} // namespace

IconDocument::IconDocument() = default;

IconDocument::~IconDocument()
{
    CloseDocument();
}

// ---- Images ----------------------------------------------------------------

int IconDocument::IsOpen() const
{
    return GetImageCount();
}

int IconDocument::GetImageCount() const
{
    int count = 0;
    for (ImageNode* node = first_; node; node = node->next)
        ++count;
    return count;
}

bool IconDocument::CanDeleteImage() const
{
    return GetImageCount() > 1;
}

bool IconDocument::HasDeletedImage() const
{
    return firstDeleted_ != nullptr;
}

IconImage* IconDocument::GetCurrentImage() const
{
    return current_ ? current_->image : nullptr;
}

int IconDocument::GetCurrentIndex() const
{
    int position = 0;
    for (ImageNode* node = first_; node && node != current_; node = node->next)
        ++position;
    return current_ ? position : 0;
}

// The walk stops at the last node when the list is shorter than the position.
ImageNode* IconDocument::NodeAt(int position) const
{
    ImageNode* node = first_;
    for (int i = 0; node && node->next && i < position; ++i)
        node = node->next;
    return node;
}

int IconDocument::SelectImage(int position)
{
    if (!IsOpen() || position < 0 || position >= GetImageCount())
        return 0;
    current_ = NodeAt(position);
    ForgetSelection();
    return 1;
}

bool IconDocument::AppendImage(IconImage* image)
{
    ImageNode* node = new (std::nothrow) ImageNode{image, last_, nullptr};
    if (!node)
        return false;
    budget_.Attach(image);
    if (last_)
        last_->next = node;
    else
        first_ = node;
    last_ = node;
    current_ = node;
    ForgetSelection();
    return true;
}

int IconDocument::AddNewImage(int size, int bitCount)
{
    if (!IsAcceptedBitCount(bitCount) || !IsAcceptedSize(size))
        return 0;
    IconImage* image = new (std::nothrow) IconImage;
    if (!image)
        return 0;
    if (!image->CreateBlank(size, bitCount) || !AppendImage(image)) {
        delete image;                       // the destructor resets it
        return 0;
    }
    return 1;
}

int IconDocument::DeleteCurrentImage()
{
    if (GetImageCount() <= 1 || !current_)
        return 0;
    DeletedImage* entry = new (std::nothrow) DeletedImage{current_->image, 0, lastDeleted_, nullptr};
    if (!entry)
        return 0;
    int position = GetCurrentIndex();
    entry->formerPosition = static_cast<DWORD>(position);
    if (lastDeleted_)
        lastDeleted_->next = entry;
    else
        firstDeleted_ = entry;
    lastDeleted_ = entry;

    ImageNode* gone = current_;
    if (gone->previous)
        gone->previous->next = gone->next;
    else
        first_ = gone->next;
    if (gone->next)
        gone->next->previous = gone->previous;
    else
        last_ = gone->previous;
    delete gone;
    current_ = NodeAt(position > 0 ? position - 1 : 0);
    ForgetSelection();
    SetModified(1);
    return 1;
}

int IconDocument::RestoreDeletedImage()
{
    if (!lastDeleted_ || !current_)
        return 0;
    DeletedImage* entry = lastDeleted_;
    ImageNode* node = new (std::nothrow) ImageNode{entry->image, nullptr, nullptr};
    if (!node)
        return 0;
    if (entry->formerPosition == 0) {
        node->next = first_;
        first_->previous = node;
        first_ = node;
    } else {
        // Back to the former position, or to the end when the list got shorter.
        int after = entry->formerPosition > 0x7FFFFFFF ? 0x7FFFFFFF
                                                       : static_cast<int>(entry->formerPosition) - 1;
        ImageNode* before = NodeAt(after);
        node->previous = before;
        node->next = before->next;
        if (before->next)
            before->next->previous = node;
        else
            last_ = node;
        before->next = node;
    }
    current_ = node;

    lastDeleted_ = entry->previous;
    if (lastDeleted_)
        lastDeleted_->next = nullptr;
    else
        firstDeleted_ = nullptr;
    delete entry;
    ForgetSelection();
    SetModified(1);
    return 1;
}

void IconDocument::CloseDocument()
{
    FreeImageList(first_);
    last_ = nullptr;
    current_ = nullptr;
    FreeImageList(firstDeleted_);
    lastDeleted_ = nullptr;
    path_[0] = '\0';
    modified_ = 0;
    ForgetSelection();
}

// ---- History of the current image -------------------------------------------

bool IconDocument::CanUndo() const
{
    return IsOpen() && current_->image->CanUndo();
}

bool IconDocument::CanRedo() const
{
    return IsOpen() && current_->image->CanRedo();
}

// Stepping through the history changes what Save would write.
int IconDocument::Undo()
{
    if (!IsOpen() || !current_->image->Undo())
        return 0;
    SetModified(1);
    return 1;
}

int IconDocument::Redo()
{
    if (!IsOpen() || !current_->image->Redo())
        return 0;
    SetModified(1);
    return 1;
}

// ---- State and notification -------------------------------------------------

void IconDocument::SetOwnerWindow(HWND owner)
{
    owner_ = owner;
}

void IconDocument::PostDocumentState() const
{
    if (owner_)
        PostMessageA(owner_, WM_DOCUMENT_STATE, 0, 0);
}

void IconDocument::SetModified(int value)
{
    modified_ = value ? 1 : 0;
    PostDocumentState();
}

void IconDocument::SetFilePath(const char* path)
{
    lstrcpynA(path_, path, MAX_PATH);
}

// A rectangle drawn on one image means nothing on another: whatever replaces
// or switches the current image drops it.
void IconDocument::ForgetSelection()
{
    if (hasSelection_)
        SetSelection(nullptr, nullptr, 0);
}

void IconDocument::SetSelection(const POINT* p0, const POINT* p1, int extent)
{
    if (IsOpen() && p0 && p1 && extent > 0) {
        int side = current_->image->GetSize();
        // Products stay within 32 bits for canvas coordinates; wider ones are
        // computed in 64 bits so that a stray point cannot overflow.
        auto scale = [side, extent](LONG v) {
            return static_cast<LONG>(static_cast<long long>(side) * v / extent);
        };
        selection_.left = scale(p0->x < p1->x ? p0->x : p1->x);
        selection_.right = scale(p0->x < p1->x ? p1->x : p0->x);
        selection_.top = scale(p0->y < p1->y ? p0->y : p1->y);
        selection_.bottom = scale(p0->y < p1->y ? p1->y : p0->y);
        hasSelection_ = 1;
    } else {
        SetRectEmpty(&selection_);
        hasSelection_ = 0;
    }
    PostDocumentState();
}

// ---- Saving and the file dialogs ---------------------------------------------

int IconDocument::SaveDocumentTo(const char* path)
{
    if (!WriteIconFile(path))
        return 0;
    if (path != path_)
        SetFilePath(path);
    return 1;
}

int IconDocument::SaveDocument(HWND owner)
{
    if (path_[0])
        return SaveDocumentTo(path_);
    return SaveDocumentAs(owner);
}

int IconDocument::SaveDocumentAs(HWND owner)
{
    char chosen[MAX_PATH];
    if (!ChooseFileToSave(owner, chosen))
        return 0;
    return SaveDocumentTo(chosen);
}

namespace {

// The structure as the version 4 common dialogs know it; the newer fields
// would add the places bar.
const DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, pvReserved);
static_assert(offsetof(OPENFILENAMEA, pvReserved) == 76, "the 32-bit structure");

const char kSaveFilter[] = "Fichier icone (*.ico)\0*.ico\0Fichier curseur (*.cur)\0*.cur\0";
const char kOpenIconFilter[] = "Fichier icone ou curseur(*.ico;*.cur)\0*.ico;*.cur\0";
const char kOpenBitmapFilter[] = "Fichier bitmap(*.bmp)\0*.bmp\0";

void PrepareDialog(OPENFILENAMEA& ofn, HWND owner, char* buffer)
{
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
}

} // namespace

int IconDocument::ChooseFileToSave(HWND owner, char* buffer)
{
    buffer[0] = '\0';
    OPENFILENAMEA ofn;
    PrepareDialog(ofn, owner, buffer);
    ofn.lpstrFilter = kSaveFilter;
    ofn.lpstrDefExt = "ico";
    ofn.lpstrTitle = "Enregistrer sous...";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    return GetSaveFileNameA(&ofn) ? 1 : 0;
}

int IconDocument::ChooseFileToOpen(HWND owner, char* buffer, int kind)
{
    buffer[0] = '\0';
    OPENFILENAMEA ofn;
    PrepareDialog(ofn, owner, buffer);
    if (kind == 1) {
        ofn.lpstrFilter = kOpenIconFilter;
        ofn.lpstrDefExt = "ico";
        ofn.lpstrTitle = "Ouvrir un fichier icone ou curseur...";
    } else {
        ofn.lpstrFilter = kOpenBitmapFilter;
        ofn.lpstrDefExt = "bmp";
        ofn.lpstrTitle = "Ouvrir un fichier bitmap...";
    }
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) ? 1 : 0;
}
