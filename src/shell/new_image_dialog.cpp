#include "shell/new_image_dialog.h"

#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

struct Choice
{
    const char* text;
    int value;
};

// The sizes of Windows icons; the editor takes any side from 1 to 256.
const Choice kSides[] = {
    {" 16x16", 16}, {" 20x20", 20}, {" 24x24", 24},   {" 32x32", 32},   {" 40x40", 40},   {" 48x48", 48},
    {" 64x64", 64}, {" 72x72", 72}, {" 96x96", 96}, {" 128x128", 128}, {" 256x256", 256},
};
const Choice kBitCounts[] = {
    {" 1 bit", 1}, {" 4 bits", 4}, {" 8 bits", 8}, {" 24 bits", 24}, {" 32 bits", 32},
};
const int kInitialSide = 3;      // 32x32
const int kInitialBitCount = 2;  // 8 bits

template <size_t N>
void FillList(HWND dialog, int id, const Choice (&choices)[N], int selected)
{
    for (const Choice& choice : choices)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(choice.text).c_str()));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, selected, 0);
}

// A selection outside the list writes nothing.
template <size_t N>
void ReadList(HWND dialog, int id, const Choice (&choices)[N], int* output)
{
    const LRESULT position = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (position >= 0 && position < static_cast<LRESULT>(N))
        *output = choices[position].value;
}

}  // namespace

bool NewImageDialog::Show(HWND owner, int* side, int* bitCount)
{
    if (!side || !bitCount)
        return false;
    side_ = side;
    bitCount_ = bitCount;
    // -1 means the dialog could not be made: that is no confirmation.
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NEW_IMAGE), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    return result == 1;
}

INT_PTR CALLBACK NewImageDialog::DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    NewImageDialog* self = reinterpret_cast<NewImageDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!self)
        return FALSE;
    switch (msg) {
    case WM_INITDIALOG: return self->OnInitDialog(dialog);
    case WM_COMMAND: return self->OnCommand(LOWORD(wParam));
    case WM_SYSCOMMAND: return self->OnSysCommand(wParam);
    }
    return FALSE;
}

INT_PTR NewImageDialog::OnInitDialog(HWND dialog)
{
    window_ = dialog;
    FillList(dialog, IDC_SIDE_LIST, kSides, kInitialSide);
    FillList(dialog, IDC_BIT_COUNT_LIST, kBitCounts, kInitialBitCount);
    return FALSE;
}

INT_PTR NewImageDialog::OnCommand(int id)
{
    if (id == IDOK) {
        ReadList(window_, IDC_SIDE_LIST, kSides, side_);
        ReadList(window_, IDC_BIT_COUNT_LIST, kBitCounts, bitCount_);
        EndDialog(window_, 1);
    } else if (id == IDCANCEL) {
        EndDialog(window_, 0);
    }
    return FALSE;
}

INT_PTR NewImageDialog::OnSysCommand(WPARAM command)
{
    // The low four bits of a system command are used by the system itself.
    if ((command & 0xFFF0) != SC_CLOSE)
        return FALSE;
    EndDialog(window_, 0);
    return TRUE;
}
