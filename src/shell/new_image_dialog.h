#pragma once
#include <windows.h>

// The modal dialog in which the user picks the side and the bit count of a
// new image. One object per showing; nothing is remembered between showings.
class NewImageDialog
{
public:
    NewImageDialog() = default;
    NewImageDialog(const NewImageDialog&) = delete;
    NewImageDialog& operator=(const NewImageDialog&) = delete;

    // True only when the user confirmed with OK; the outputs are written then
    // and only then.
    bool Show(HWND owner, int* side, int* bitCount);
    HWND GetDialogWindow() const { return window_; }

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnCommand(int id);
    INT_PTR OnSysCommand(WPARAM command);

    HWND window_ = nullptr;
    int* side_ = nullptr;
    int* bitCount_ = nullptr;
};
