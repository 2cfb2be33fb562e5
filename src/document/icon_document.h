#pragma once
#include <windows.h>
#include "document/open_failure.h"
#include "model/icon_image.h"
#include "model/history_budget.h"

struct ImageNode
{
    IconImage* image;          // owned
    ImageNode* previous;
    ImageNode* next;
};

struct DeletedImage
{
    IconImage* image;          // owned
    DWORD formerPosition;
    DeletedImage* previous;
    DeletedImage* next;
};

// The one open icon or cursor file: its images, the current one, the deleted
// ones that can be put back, the selection, the path and the modified flag.
// It reports to its owner window only by posting WM_DOCUMENT_STATE.
class IconDocument
{
public:
    IconDocument();
    ~IconDocument();
    IconDocument(const IconDocument&) = delete;
    IconDocument& operator=(const IconDocument&) = delete;

    // Images (icon_document.cpp)
    int IsOpen() const;
    int GetImageCount() const;
    bool CanDeleteImage() const;
    bool HasDeletedImage() const;
    IconImage* GetCurrentImage() const;
    int GetCurrentIndex() const;
    int SelectImage(int position);
    int AddNewImage(int size, int bitCount);
    int DeleteCurrentImage();
    int RestoreDeletedImage();
    void CloseDocument();

    // History of the current image
    bool CanUndo() const;
    bool CanRedo() const;
    int Undo();
    int Redo();

    // State and notification
    void SetOwnerWindow(HWND owner);
    HWND GetOwnerWindow() const { return owner_; }
    void SetModified(int value);
    int IsModified() const { return modified_ ? 1 : 0; }
    const char* GetFilePath() const { return path_; }
    // Null points clear the selection.
    void SetSelection(const POINT* p0, const POINT* p1, int extent);
    int HasSelection() const { return hasSelection_; }
    RECT GetSelection() const { return selection_; }

    // Transforms of the current image (transforms.cpp of the document)
    int ClearCurrentImage();
    int ShiftImage(int dx, int dy);
    int MirrorImage(int vertical);

    // Clipboard (clipboard.cpp)
    int CopySelection();
    int CutSelection();
    // Pastes the clipboard bitmap at the selection's top-left corner (or 0, 0),
    // clipped, as one undo step; sets the modified flag.
    int PasteClipboard();
    // Selects the whole current image, (0, 0, size, size) exactly.
    int SelectAll();

    // Files (icon_file.cpp, bitmap_import.cpp, file dialogs in icon_document.cpp)
    // why, when given, receives the reason of a failure (OpenFailureNone on success).
    int OpenFile(HWND owner, const char* path, OpenFailure* why = nullptr);
    int WriteIconFile(const char* path);
    int ImportBitmap(const char* path, int replace);
    // Writes the document to path and makes it the document's file.
    int SaveDocumentTo(const char* path);
    int SaveDocument(HWND owner);
    int SaveDocumentAs(HWND owner);
    int ChooseFileToSave(HWND owner, char* buffer);
    int ChooseFileToOpen(HWND owner, char* buffer, int kind);

private:
    ImageNode* NodeAt(int position) const;
    bool AppendImage(IconImage* image);         // appends and makes it current
    void PostDocumentState() const;
    void ForgetSelection();
    void MoveSelection(int size, int dx, int dy);
    void SetFilePath(const char* path);

    ImageNode* first_ = nullptr;
    ImageNode* last_ = nullptr;
    ImageNode* current_ = nullptr;
    DeletedImage* firstDeleted_ = nullptr;
    DeletedImage* lastDeleted_ = nullptr;
    HWND owner_ = nullptr;
    char path_[MAX_PATH] = {};
    DWORD modified_ = 0;
    RECT selection_ = {};
    int hasSelection_ = 0;
    HistoryBudget budget_;                      // every image taken in is attached
};
