#include "editor_fixture.h"

#include <commctrl.h>
#include <stdio.h>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "shell/startup.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

bool EditorTest::registered_ = false;

void PumpMessages()
{
    MSG message;
    // Bounded: a window that never validates would otherwise keep us here.
    for (int i = 0; i < 20000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string FreshOutputPath(const char* name)
{
    std::string path = std::string(VEMIRO_TEST_OUTPUT) + "\\" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(VEMIRO_TEST_OUTPUT, nullptr);
    DeleteFileA(path.c_str());
    return path;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<BYTE> ReadWholeFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    BYTE buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    fclose(file);
    return bytes;
}

namespace {

void PutWord(std::vector<BYTE>& out, WORD value)
{
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void PutDword(std::vector<BYTE>& out, DWORD value)
{
    PutWord(out, static_cast<WORD>(value & 0xFFFF));
    PutWord(out, static_cast<WORD>(value >> 16));
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// The image resource of an icon directory entry: header, bottom-up colour
// rows, then the mask rows.
std::vector<BYTE> ImageResource(const TestImage& image)
{
    std::vector<BYTE> out;
    const int colourStride = ((image.size * image.bits + 31) / 32) * 4;
    const int maskStride = ((image.size + 31) / 32) * 4;
    PutDword(out, 40);
    PutDword(out, image.size);
    PutDword(out, image.size * 2);
    PutWord(out, 1);
    PutWord(out, static_cast<WORD>(image.bits));
    PutDword(out, 0);
    PutDword(out, (colourStride + maskStride) * image.size);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
    for (int row = image.size - 1; row >= 0; --row) {
        const bool clear = row < image.transparentRows;
        std::vector<BYTE> line;
        for (int x = 0; x < image.size; ++x) {
            line.push_back(clear ? 0 : GetBValue(image.colour));
            line.push_back(clear ? 0 : GetGValue(image.colour));
            line.push_back(clear ? 0 : GetRValue(image.colour));
            if (image.bits == 32)
                line.push_back(clear ? 0 : 255);
        }
        line.resize(colourStride, 0);
        out.insert(out.end(), line.begin(), line.end());
    }
    for (int row = image.size - 1; row >= 0; --row) {
        std::vector<BYTE> line(maskStride, 0);
        if (row < image.transparentRows)
            for (int x = 0; x < image.size; ++x)
                line[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

}  // namespace

bool WriteIconFileByHand(const std::string& path, const std::vector<TestImage>& images, bool cursor,
                         WORD hotspotX, WORD hotspotY)
{
    std::vector<BYTE> out;
    PutWord(out, 0);
    PutWord(out, cursor ? 2 : 1);
    PutWord(out, static_cast<WORD>(images.size()));
    DWORD offset = 6 + 16 * static_cast<DWORD>(images.size());
    std::vector<BYTE> resources;
    for (const TestImage& image : images) {
        const std::vector<BYTE> resource = ImageResource(image);
        out.push_back(static_cast<BYTE>(image.size == 256 ? 0 : image.size));
        out.push_back(static_cast<BYTE>(image.size == 256 ? 0 : image.size));
        out.push_back(0);
        out.push_back(0);
        PutWord(out, cursor ? hotspotX : 1);
        PutWord(out, cursor ? hotspotY : static_cast<WORD>(image.bits));
        PutDword(out, static_cast<DWORD>(resource.size()));
        PutDword(out, offset);
        offset += static_cast<DWORD>(resource.size());
        resources.insert(resources.end(), resource.begin(), resource.end());
    }
    out.insert(out.end(), resources.begin(), resources.end());
    return WriteBytes(path, out);
}

bool WriteBitmapFileByHand(const std::string& path, int size, COLORREF colour)
{
    const int stride = ((size * 24 + 31) / 32) * 4;
    std::vector<BYTE> out;
    PutWord(out, 0x4D42);
    PutDword(out, 54 + stride * size);
    PutDword(out, 0);
    PutDword(out, 54);
    PutDword(out, 40);
    PutDword(out, size);
    PutDword(out, size);
    PutWord(out, 1);
    PutWord(out, 24);
    PutDword(out, 0);
    PutDword(out, stride * size);
    PutDword(out, 2835);
    PutDword(out, 2835);
    PutDword(out, 0);
    PutDword(out, 0);
    for (int row = 0; row < size; ++row) {
        std::vector<BYTE> line;
        for (int x = 0; x < size; ++x) {
            line.push_back(GetBValue(colour));
            line.push_back(GetGValue(colour));
            line.push_back(GetRValue(colour));
        }
        line.resize(stride, 0);
        out.insert(out.end(), line.begin(), line.end());
    }
    return WriteBytes(path, out);
}

// ---------------------------------------------------------------------------
// Dialog answers

namespace {

DialogScript* activeScript = nullptr;

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
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
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND edit = InnerEdit(child))
            return edit;
    }
    return nullptr;
}

// The file name box of the common dialogs: a combo box in the explorer
// layout, a plain edit in the older one.
HWND FileNameBox(HWND dialog)
{
    const int ids[] = {0x47c, 0x480};
    for (int id : ids) {
        HWND box = GetDlgItem(dialog, id);
        if (box && IsWindowVisible(box))
            return InnerEdit(box) ? InnerEdit(box) : box;
    }
    return nullptr;
}

}  // namespace

DialogScript::DialogScript()
{
    outer_ = activeScript;
    activeScript = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

DialogScript::~DialogScript()
{
    KillTimer(nullptr, timer_);
    activeScript = outer_;
}

DialogScript& DialogScript::Then(Action action)
{
    actions_.push_back(action);
    return *this;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!activeScript)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog)
        activeScript->Answer(dialog);
}

void DialogScript::Answer(HWND dialog)
{
    // A dialog already answered may still be on screen until it handles the press.
    if (dialog == lastAnswered_)
        return;
    DialogSeen seen;
    seen.title = WindowText(dialog);
    seen.text = WindowText(GetDlgItem(dialog, 0xFFFF));
    if (next_ < actions_.size()) {
        if (!actions_[next_](dialog)) {
            // Not ready yet; a dialog that never becomes ready is cancelled below.
            if (++tries_ < 100)
                return;
        } else {
            ++next_;
            tries_ = 0;
            lastAnswered_ = dialog;
            seen_.push_back(seen);
            return;
        }
    }
    tries_ = 0;
    lastAnswered_ = dialog;
    seen_.push_back(seen);
    ++unexpected_;
    PressButton(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK);
}

DialogScript::Action Press(int id)
{
    return [id](HWND dialog) {
        PressButton(dialog, id);
        return true;
    };
}

DialogScript::Action ChooseFile(const std::string& path)
{
    return [path](HWND dialog) {
        HWND box = FileNameBox(dialog);
        if (!box)
            return false;
        SetWindowTextA(box, path.c_str());
        PressButton(dialog, IDOK);
        return true;
    };
}

DialogScript::Action PickFormat(int sidePosition, int bitCountPosition, int button)
{
    return [=](HWND dialog) {
        if (SendDlgItemMessageA(dialog, IdcSideList, CB_GETCOUNT, 0, 0) <= sidePosition)
            return false;
        SendDlgItemMessageA(dialog, IdcSideList, CB_SETCURSEL, sidePosition, 0);
        SendDlgItemMessageA(dialog, IdcBitCountList, CB_SETCURSEL, bitCountPosition, 0);
        PressButton(dialog, button);
        return true;
    };
}

DialogScript::Action CloseFromCaption()
{
    return [](HWND dialog) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    };
}

// ---------------------------------------------------------------------------
// The editor fixture

void EditorTest::SetUpTestSuite()
{
    if (registered_)
        return;
    InitialiseShell(GetModuleHandleA(nullptr));
    registered_ = RegisterEditorClasses(GetModuleHandleA(nullptr));
}

void EditorTest::SetUp()
{
    ASSERT_TRUE(registered_);
    TheDocument().CloseDocument();
    TheDocument().SetSelection(nullptr, nullptr, 0);
    if (!guard_)
        guard_.reset(new DialogScript());
    main_ = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, main_);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    PumpMessages();
}

void EditorTest::TearDown()
{
    if (main_ && IsWindow(main_))
        DestroyWindow(main_);
    TheDocument().CloseDocument();
    PumpMessages();
    if (guard_) {
        EXPECT_EQ(0, guard_->Unexpected()) << "dialogs nobody answered";
    }
    guard_.reset();
}

void EditorTest::Command(int id)
{
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpMessages();
}

std::string EditorTest::StatusText(int part) const
{
    HWND bar = Shell().statusBar;
    char text[256] = "";
    if (bar && SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string EditorTest::HotspotText() const
{
    return WindowText(Shell().hotspotBox);
}

std::vector<std::string> EditorTest::IndexEntries() const
{
    std::vector<std::string> entries;
    HWND box = GetDlgItem(main_, IdImageIndexBox);
    const int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[32] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

int EditorTest::IndexSelection() const
{
    return static_cast<int>(SendDlgItemMessageA(main_, IdImageIndexBox, CB_GETCURSEL, 0, 0));
}

bool EditorTest::ToolbarEnabled(int command) const
{
    return SendMessageA(Shell().toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
}

bool EditorTest::MenuItemEnabled(int popupPosition, int command)
{
    HMENU popup = GetSubMenu(GetMenu(main_), popupPosition);
    if (!popup)
        return false;
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), popupPosition);
    return (GetMenuState(popup, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool EditorTest::PopupEnabled(int position) const
{
    return (GetMenuState(GetMenu(main_), position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool EditorTest::ToolButtonPressed(int command) const
{
    HWND button = GetDlgItem(main_, command);
    WindowDC screen(nullptr);
    MemoryDC memory(screen);
    OwnedBitmap face(CreateCompatibleBitmap(screen, 27, 27));
    SelectGuard keep(memory, face);
    SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(memory)), PRF_CLIENT);
    // Only the pressed face draws its dark inner frame at (1, 1); the others
    // leave that pixel white.
    return (GetPixel(memory, 1, 1) & 0xFFFFFF) != 0xFFFFFF;
}

void EditorTest::NewDocument(int sidePosition, int bitCountPosition)
{
    DialogScript script;
    script.Then(PickFormat(sidePosition, bitCountPosition, IDOK));
    Command(CmdNew);
    ASSERT_TRUE(script.Finished());
    ASSERT_EQ(0, script.Unexpected());
}

void EditorTest::OpenFileByMenu(const std::string& path)
{
    DialogScript script;
    script.Then(ChooseFile(path));
    Command(CmdOpen);
    ASSERT_TRUE(script.Finished());
    ASSERT_EQ(0, script.Unexpected());
}

void EditorTest::Drag(int x0, int y0, int x1, int y1, bool left)
{
    HWND canvas = TheCanvas().GetEditWindow();
    const WPARAM held = left ? MK_LBUTTON : MK_RBUTTON;
    SendMessageA(canvas, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, held, MAKELPARAM(x0, y0));
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        SendMessageA(canvas, WM_MOUSEMOVE, held,
                     MAKELPARAM(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps));
    SendMessageA(canvas, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, MAKELPARAM(x1, y1));
    PumpMessages();
}

void EditorTest::Click(int x, int y, bool left)
{
    HWND canvas = TheCanvas().GetEditWindow();
    SendMessageA(canvas, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, y));
    SendMessageA(canvas, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages();
}

COLORREF EditorTest::CanvasPixel(int x, int y)
{
    WindowDC screen(nullptr);
    MemoryDC memory(screen);
    OwnedBitmap picture(CreateCompatibleBitmap(screen, EditView::CanvasSide, EditView::CanvasSide));
    SelectGuard keep(memory, picture);
    RECT all = {0, 0, EditView::CanvasSide, EditView::CanvasSide};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageA(TheCanvas().GetEditWindow(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(memory)),
                 PRF_CLIENT);
    return GetPixel(memory, x, y);
}

void EditorTest::EmptyClipboard()
{
    if (OpenClipboard(main_)) {
        ::EmptyClipboard();
        CloseClipboard();
    }
}

void EditorTest::ChooseColour(COLORREF colour, bool left)
{
    IconImage* image = TheDocument().GetCurrentImage();
    ASSERT_NE(nullptr, image);
    const int index = image->IndexOfColour(colour);
    ASSERT_GE(index, 0) << std::hex << colour;
    // The transparent cell sits apart, after its caption.
    const LPARAM at = colour == TransparentColour ? MAKELPARAM(115, 172)
                                                  : MAKELPARAM(10 * (index % 16) + 5, 10 * (index / 16) + 5);
    SendMessageA(ThePalette().GetPaletteWindow(), left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, at);
    PumpMessages();
}

POINT EditorTest::PixelCentre(int px, int py)
{
    const int size = TheDocument().GetCurrentImage()->GetSize();
    POINT p = {(px * EditView::CanvasSide + EditView::CanvasSide / 2) / size,
               (py * EditView::CanvasSide + EditView::CanvasSide / 2) / size};
    return p;
}
