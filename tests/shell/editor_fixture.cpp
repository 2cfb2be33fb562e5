#include "editor_fixture.h"

#include <fstream>

#include "shell/startup.h"
#include "views/palette_view.h"

std::string WindowText(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return Cp1252(text);
}

std::vector<std::string> ListTexts(HWND comboBox)
{
    std::vector<std::string> texts;
    for (int i = 0; i < SendMessageW(comboBox, CB_GETCOUNT, 0, 0); ++i) {
        std::wstring text(size_t(SendMessageW(comboBox, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(comboBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        texts.push_back(Cp1252(text.c_str()));
    }
    return texts;
}

std::string FixtureCopy(const char* fixture, const char* name)
{
    const std::string path = FreshOutputPath(name);
    CopyFileA(FixturePath(fixture).c_str(), path.c_str(), FALSE);
    return path;
}

bool WriteBitmapFile(const std::string& path, int size, COLORREF colour)
{
    const DWORD stride = (size * 3 + 3) & ~3, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file = {0x4D42, offset + stride * size, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof info, size, size, 1, 24, BI_RGB, stride * size, 2835, 2835, 0, 0};
    std::vector<BYTE> rows(stride * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            for (int i = 0; i < 3; ++i)  // blue, green, red
                rows[y * stride + 3 * x + i] = BYTE(colour >> (16 - 8 * i));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    return out.write(reinterpret_cast<const char*>(rows.data()), rows.size()).flush().good();
}

void EmptyTheClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// DROPFILES of <shlobj.h>, whose Shell class clashes with the editor's names.
struct DropFiles
{
    DWORD pFiles;
    POINT pt;
    BOOL fNC;
    BOOL fWide;
};

HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DropFiles) + chars * sizeof(wchar_t));
    DropFiles* drop = static_cast<DropFiles*>(GlobalLock(memory));
    drop->pFiles = sizeof(DropFiles);
    drop->fWide = TRUE;
    wchar_t* at = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) {
        lstrcpyW(at, path.c_str());
        at += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

namespace {

DialogScript* activeScript = nullptr;

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The edit control inside a file name box: with common controls 6 the box is
// a ComboBoxEx32 holding a ComboBox holding the Edit, without it a ComboBox or
// the Edit itself. Text set on an outer control never reaches the dialog.
HWND InnerEdit(HWND box)
{
    char name[32] = {};
    GetClassNameA(box, name, sizeof name);
    if (lstrcmpiA(name, "Edit") == 0)
        return box;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND edit = InnerEdit(child))
            return edit;
    return nullptr;
}

// The file name box of the common dialogs: a combo box in the explorer
// layout, a plain edit in the older one.
HWND FileNameBox(HWND dialog)
{
    for (int id : {0x47c, 0x480}) {
        HWND box = GetDlgItem(dialog, id);
        if (box && IsWindowVisible(box))
            return InnerEdit(box) ? InnerEdit(box) : box;
    }
    return nullptr;
}

}  // namespace

DialogSeen DialogScript::Describe(HWND dialog)
{
    const int kFileTypes = 0x470, kReadOnly = 0x410;  // cmb1, chx1
    DialogSeen seen;
    seen.title = WindowText(dialog);
    seen.text = WindowText(GetDlgItem(dialog, 0xFFFF));
    seen.fileTypes = ListTexts(GetDlgItem(dialog, kFileTypes));
    HWND readOnly = GetDlgItem(dialog, kReadOnly);
    seen.readOnlyShown = readOnly && IsWindowVisible(readOnly);
    return seen;
}

DialogScript::DialogScript(const std::vector<Action>& actions) : actions_(actions), outer_(activeScript)
{
    activeScript = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

DialogScript::~DialogScript()
{
    KillTimer(nullptr, timer_);
    activeScript = outer_;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&dialog));
    if (activeScript && dialog)
        activeScript->Answer(dialog);
}

void DialogScript::Answer(HWND dialog)
{
    // A dialog already answered may still be on screen until it handles the press.
    if (dialog == lastAnswered_)
        return;
    const bool expected = next_ < actions_.size();
    if (expected && !actions_[next_](dialog) && ++tries_ < 100)
        return;  // not ready yet; one that never becomes ready is cancelled below
    seen_.push_back(Describe(dialog));
    lastAnswered_ = dialog;
    if (expected && tries_ < 100) {
        ++next_;
    } else {
        ++unexpected_;
        PressButton(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK);
    }
    tries_ = 0;
}

DialogScript::Action Press(int id)
{
    return [id](HWND dialog) {
        PressButton(dialog, id);
        return true;
    };
}

DialogScript::Action ChooseFile(const std::wstring& path)
{
    return [path](HWND dialog) {
        HWND box = FileNameBox(dialog);
        if (box) {
            SetWindowTextW(box, path.c_str());
            PressButton(dialog, IDOK);
        }
        return box != nullptr;
    };
}

DialogScript::Action PickFormat(int sidePosition, int bitCountPosition, int button)
{
    return [=](HWND dialog) {
        if (SendDlgItemMessageA(dialog, IDC_SIDE_LIST, CB_GETCOUNT, 0, 0) <= sidePosition)
            return false;
        SendDlgItemMessageA(dialog, IDC_SIDE_LIST, CB_SETCURSEL, sidePosition, 0);
        SendDlgItemMessageA(dialog, IDC_BIT_COUNT_LIST, CB_SETCURSEL, bitCountPosition, 0);
        PressButton(dialog, button);
        return true;
    };
}

DialogScript::Action CloseFromCaption()
{
    return [](HWND dialog) { return PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) != 0; };
}

void EditorTest::SetUp()
{
    // Once per process, as at the program's start.
    static const bool registered = (InitialiseShell(), RegisterEditorClasses(GetModuleHandleA(nullptr)));
    ASSERT_TRUE(registered);
    editor_.reset(new Editor(GetModuleHandleA(nullptr)));
    main_ = CreateMainWindow(*editor_);
    ASSERT_NE(nullptr, main_);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    PumpMessages();
}

void EditorTest::TearDown()
{
    if (main_ && IsWindow(main_))
        DestroyWindow(main_);
    PumpMessages();
    editor_.reset();
    EXPECT_EQ(0, guard_.Unexpected()) << "dialogs nobody answered";
}

std::vector<DialogSeen> EditorTest::Command(int id, const std::vector<DialogScript::Action>& answers)
{
    DialogScript script(answers);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
    EXPECT_TRUE(script.Finished()) << "command " << id;
    EXPECT_EQ(0, script.Unexpected()) << "command " << id;
    return script.Seen();
}

std::string EditorTest::StatusText(int part) const
{
    wchar_t text[256] = L"";
    if (LOWORD(SendMessageW(editor_->shell.statusBar, SB_GETTEXTLENGTHW, part, 0)) < 256)
        SendMessageW(editor_->shell.statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return Cp1252(text);
}

void EditorTest::ExpectEnabled(const char* step, std::initializer_list<std::pair<int, bool>> items)
{
    for (const std::pair<int, bool>& item : items) {
        // Fichier, Edition, then Image, which holds the image commands.
        const int position = item.first < IDM_UNDO ? 0 : item.first < IDM_PENCIL ? 1 : 3;
        HMENU popup = GetSubMenu(GetMenu(main_), position);
        SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), position);
        EXPECT_EQ(item.second, !(GetMenuState(popup, item.first, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
            << step << ": item " << item.first;
        if (SendMessageA(editor_->shell.toolbar, TB_COMMANDTOINDEX, item.first, 0) >= 0) {
            EXPECT_EQ(item.second, ToolbarEnabled(item.first)) << step << ": button " << item.first;
        }
    }
}

bool EditorTest::ToolButtonPressed(int command) const
{
    // Only the pressed face draws its dark inner frame at (1, 1); the others
    // leave that pixel white.
    const Picture face(GetDlgItem(main_, command), 27, 27, RGB(0, 0, 0));
    return (face.At(1, 1) & 0xFFFFFF) != kWhite;
}

void EditorTest::ExpectNoDocumentShown()
{
    EXPECT_EQ("Vemiro Editor 1.4", WindowText(main_));
    EXPECT_EQ("Prêt", StatusText(0));
    for (int part = 1; part <= 4; ++part)
        EXPECT_EQ("", StatusText(part)) << part;
    EXPECT_TRUE(IndexEntries().empty());
    EXPECT_EQ("", ChildText(IDC_FORMAT_BOX));
    EXPECT_EQ("", WindowText(editor_->shell.hotspotBox));
    EXPECT_FALSE(PopupEnabled(2));
    EXPECT_FALSE(PopupEnabled(3));
}

void EditorTest::ExpectDocumentShown(const std::string& file, const std::vector<std::string>& entries,
                                     const std::string& format)
{
    EXPECT_EQ("Vemiro Editor 1.4  : [ " + file + " ]", WindowText(main_));
    EXPECT_EQ(entries, IndexEntries());
    EXPECT_EQ(0, IndexSelection());
    EXPECT_EQ(format, ChildText(IDC_FORMAT_BOX));
    ASSERT_NE(nullptr, Document().GetCurrentImage());
    const Hotspot spot = Document().GetCurrentImage()->GetHotspot();
    EXPECT_EQ(std::to_string(spot.x) + " - " + std::to_string(spot.y), WindowText(editor_->shell.hotspotBox));
    EXPECT_EQ(kPencilHint, StatusText(0));
    EXPECT_TRUE(PopupEnabled(2));
    EXPECT_TRUE(PopupEnabled(3));
}

void EditorTest::DragPixels(int x0, int y0, int x1, int y1)
{
    HWND canvas = editor_->canvas.GetEditWindow();
    const POINT from = PixelCentre(x0, y0), to = PixelCentre(x1, y1);
    SendMessageA(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int i = 1; i <= 4; ++i)
        SendMessageA(canvas, WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4));
    SendMessageA(canvas, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    PumpMessages();
}

COLORREF EditorTest::ShownPixel(int px, int py)
{
    const Picture canvas(editor_->canvas.GetEditWindow(), EditView::CanvasSide, EditView::CanvasSide,
                         GetSysColor(COLOR_BTNFACE));
    const POINT at = PixelCentre(px, py);
    return canvas.At(at.x, at.y);
}

void EditorTest::ChooseColour(COLORREF colour, bool left)
{
    IconImage* image = Document().GetCurrentImage();
    ASSERT_NE(nullptr, image);
    const int index = image->IndexOfColour(colour);
    ASSERT_GE(index, 0) << std::hex << colour;
    // The transparent cell sits apart, after its caption.
    const LPARAM at = colour == TransparentColour ? MAKELPARAM(115, 172)
                                                  : MAKELPARAM(10 * (index % 16) + 5, 10 * (index / 16) + 5);
    SendMessageA(editor_->palette.GetPaletteWindow(), left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, at);
    PumpMessages();
}

POINT EditorTest::PixelCentre(int px, int py)
{
    const int size = Document().GetCurrentImage()->GetSize();
    return {CellCentre(px, size), CellCentre(py, size)};
}
