#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/icon_document.h"
#include "support/change_log.h"
#include "shell/editor.h"
#include "support/canvas_cells.h"
#include "support/colours.h"
#include "support/message_pump.h"
#include "support/picture.h"
#include "support/test_files.h"
#include "support/texts.h"
#include "views/edit_view.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

const char* const kPencilHint = "Dessine une ligne quelconque ou des points détachés";
// Positions in the new image dialog's lists.
const int k16 = 0, k32 = 3, k48 = 5, kBits4 = 1, kBits8 = 2, kBits24 = 3;

std::string WindowText(HWND window);
std::vector<std::string> ListTexts(HWND comboBox);
// A copy, under this name, of a file of tests/fixtures (made by other programs).
std::string FixtureCopy(const char* fixture, const char* name);
// A 24-bit bitmap file of one colour, written by hand.
bool WriteBitmapFile(const std::string& path, int size, COLORREF colour);
void EmptyTheClipboard();
// A real HDROP, as the file manager gives it (wide paths): one file or several.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// What a dialog or message box showed when it was answered.
struct DialogSeen
{
    std::string title, text;  // text: the message box text, empty for other dialogs
    std::vector<std::string> fileTypes;  // the type list of a file dialog
    bool readOnlyShown = false;          // a file dialog's read-only box
};

// Answers, from a timer, the modal dialogs that a command opens on this
// thread, in order, the way a person would: by filling controls and pressing
// buttons by id. A dialog that nobody expected is cancelled and counted.
class DialogScript
{
public:
    // False when the dialog is not ready yet: the action is tried again later.
    typedef std::function<bool(HWND dialog)> Action;
    explicit DialogScript(const std::vector<Action>& actions = {});
    ~DialogScript();
    bool Finished() const { return next_ == actions_.size(); }
    const std::vector<DialogSeen>& Seen() const { return seen_; }
    int Unexpected() const { return unexpected_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static DialogSeen Describe(HWND dialog);
    void Answer(HWND dialog);
    std::vector<Action> actions_;
    size_t next_ = 0;
    std::vector<DialogSeen> seen_;
    int unexpected_ = 0, tries_ = 0;
    HWND lastAnswered_ = nullptr;
    UINT_PTR timer_ = 0;
    DialogScript* outer_ = nullptr;
};

DialogScript::Action Press(int id);
DialogScript::Action ChooseFile(const std::wstring& path);
inline DialogScript::Action ChooseFile(const std::string& path) { return ChooseFile(W(path)); }
DialogScript::Action PickFormat(int sidePosition, int bitCountPosition, int button = IDOK);
DialogScript::Action CloseFromCaption();

// The real main window of the editor, made fresh for each test.
class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // WM_COMMAND as the menu sends it; the dialogs it opens get these answers, in order.
    std::vector<DialogSeen> Command(int id, const std::vector<DialogScript::Action>& answers = {});
    void NewDocument(int side, int bitCount) { Command(IDM_NEW, {PickFormat(side, bitCount)}); }

    std::string StatusText(int part) const;
    std::string ChildText(int id) const { return WindowText(GetDlgItem(main_, id)); }
    std::vector<std::string> IndexEntries() const { return ListTexts(GetDlgItem(main_, IDC_IMAGE_INDEX_BOX)); }
    int IndexSelection() const { return int(SendDlgItemMessageA(main_, IDC_IMAGE_INDEX_BOX, CB_GETCURSEL, 0, 0)); }
    bool ToolbarEnabled(int command) const
    {
        return SendMessageA(editor_->shell.toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
    }
    bool PopupEnabled(int position) const
    {
        return !(GetMenuState(GetMenu(main_), position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    }
    // Each menu item after its pop-up was opened and, for commands on the toolbar, the button too.
    void ExpectEnabled(const char* step, std::initializer_list<std::pair<int, bool>> items);
    bool ToolButtonPressed(int command) const;
    // Title, boxes, status texts and pop-ups as a person sees them.
    void ExpectNoDocumentShown();
    void ExpectDocumentShown(const std::string& file, const std::vector<std::string>& entries,
                             const std::string& format);

    // Mouse on the canvas, from and to the centres of pixels of the current image.
    void DragPixels(int x0, int y0, int x1, int y1);
    void ClickPixel(int px, int py) { DragPixels(px, py, px, py); }
    // What the canvas shows at the centre of an image pixel.
    COLORREF ShownPixel(int px, int py);
    // Clicks the palette cell of this colour of the current image.
    void ChooseColour(COLORREF colour, bool left);
    POINT PixelCentre(int px, int py);

    IconDocument& Document() { return editor_->document; }

    std::unique_ptr<Editor> editor_;
    HWND main_ = nullptr;
    // Cancels, and reports, any dialog that no test step expected.
    DialogScript guard_;
};
