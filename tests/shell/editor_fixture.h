#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "views/edit_view.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const char* const kPencilHint = "Dessine une ligne quelconque ou des points détachés";

// Handles everything queued for this thread, the document's posted
// notifications included. A WM_QUIT found on the way is dropped.
void PumpMessages();
std::string WindowText(HWND window);
// A path under the test output folder, with Windows separators; the file is removed.
std::string FreshOutputPath(const char* name);
std::vector<BYTE> ReadWholeFile(const std::string& path);

// Files made by hand, not by the editor's writer: one opaque colour, 24 or 32 bits.
struct TestImage
{
    int size, bits;
    COLORREF colour;
};
bool WriteIconFileByHand(const std::string& path, const std::vector<TestImage>& images);
bool WriteBitmapFileByHand(const std::string& path, int size, COLORREF colour);

// A memory picture over a background; given a window, what its client area paints.
class Picture
{
public:
    Picture(HWND printed, int width, int height, COLORREF background = GetSysColor(COLOR_BTNFACE));
    operator HDC() const { return memory_; }
    COLORREF At(int x, int y) const { return GetPixel(memory_, x, y); }

private:
    WindowDC screen_;
    MemoryDC memory_;
    OwnedBitmap bitmap_;
    SelectGuard keep_;
};

// What a dialog or message box showed when it was answered.
struct DialogSeen
{
    std::string title;
    std::string text;  // the message box text, empty for other dialogs
};

// Answers, from a timer, the modal dialogs that a command opens on this
// thread, in order, the way a person would: by filling controls and pressing
// buttons by id. A dialog that nobody expected is cancelled and counted.
class DialogScript
{
public:
    // False when the dialog is not ready yet: the action is tried again later.
    typedef std::function<bool(HWND dialog)> Action;
    DialogScript();
    ~DialogScript();
    DialogScript& Then(Action action);
    bool Finished() const { return next_ == actions_.size(); }
    const std::vector<DialogSeen>& Seen() const { return seen_; }
    int Unexpected() const { return unexpected_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND dialog);
    std::vector<Action> actions_;
    size_t next_ = 0;
    std::vector<DialogSeen> seen_;
    int unexpected_ = 0;
    HWND lastAnswered_ = nullptr;
    int tries_ = 0;
    UINT_PTR timer_ = 0;
    DialogScript* outer_ = nullptr;
};

DialogScript::Action Press(int id);
DialogScript::Action ChooseFile(const std::string& path);
DialogScript::Action PickFormat(int sidePosition, int bitCountPosition, int button);
DialogScript::Action CloseFromCaption();
void EmptyTheClipboard();

// Positions in the new image dialog's lists.
const int k16 = 0, k32 = 1, k48 = 2;
const int kBits4 = 1, kBits8 = 2, kBits24 = 3;

// The real main window of the editor, made fresh for each test.
class EditorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    void Command(int id);  // WM_COMMAND as the menu sends it
    // Runs a command whose dialogs get these answers, in order; every one must be used.
    std::vector<DialogSeen> Answered(int command, const std::vector<DialogScript::Action>& answers);
    void NewDocument(int sidePosition, int bitCountPosition);

    std::string StatusText(int part) const;
    std::string ChildText(int id) const { return WindowText(GetDlgItem(main_, id)); }
    std::vector<std::string> IndexEntries() const;
    int IndexSelection() const;
    bool ToolbarEnabled(int command) const;
    // The item state after its pop-up was opened.
    bool MenuItemEnabled(int command);
    bool PopupEnabled(int position) const;
    // Each menu item as above and, for commands on the toolbar, its button the same.
    void ExpectEnabled(const char* step, std::initializer_list<std::pair<int, bool>> items);
    bool ToolButtonPressed(int command) const;
    // Title, boxes, status texts and pop-ups as a person sees them.
    void ExpectNoDocumentShown();
    void ExpectDocumentShown(const std::string& file, const std::vector<std::string>& entries,
                             const std::string& format);

    // Mouse on the canvas at the centres of pixels of the current image.
    void DragPixels(int x0, int y0, int x1, int y1);
    void ClickPixel(int px, int py);
    // What the canvas shows at the centre of an image pixel.
    COLORREF ShownPixel(int px, int py);
    // Clicks the palette cell of this colour of the current image.
    void ChooseColour(COLORREF colour, bool left);
    static POINT PixelCentre(int px, int py);

    HWND main_ = nullptr;
    static bool registered_;
    // Cancels, and reports, any dialog that no test step expected.
    std::unique_ptr<DialogScript> guard_;
};
