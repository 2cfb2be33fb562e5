#pragma once
#include <windows.h>
#include <commctrl.h>
#include "win/gdi_guards.h"

// Owners of the system's other handles: icons, image lists and the open clipboard.

struct DestroyIconHandle
{
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

struct DestroyImageList
{
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};

// An icon made by CopyIcon, CreateIconIndirect or an image list; not one
// loaded shared from the module, which must never be destroyed.
typedef OwnedHandle<HICON, DestroyIconHandle> OwnedIcon;
typedef OwnedHandle<HIMAGELIST, DestroyImageList> OwnedImageList;

// OpenClipboard/CloseClipboard. Another program may hold the clipboard: Ok()
// says whether it was opened.
class ClipboardLock
{
public:
    explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ~ClipboardLock() { if (open_) CloseClipboard(); }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    bool Ok() const { return open_; }
private:
    bool open_;
};
