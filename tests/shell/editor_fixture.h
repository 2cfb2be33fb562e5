#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Handles everything queued for this thread, the document's posted
// notifications included. A WM_QUIT found on the way is dropped.
void PumpMessages();

std::string WindowText(HWND window);
// A path under the test output folder, with Windows separators; the file is removed.
std::string FreshOutputPath(const char* name);
bool FileExists(const std::string& path);
std::vector<BYTE> ReadWholeFile(const std::string& path);

// Hand-made files, written without the editor's own writer.
struct TestImage
{
    int size;
    int bits;              // 24 or 32
    COLORREF colour;       // every pixel
    int transparentRows;   // the first rows (from the top) are transparent
};
bool WriteIconFileByHand(const std::string& path, const std::vector<TestImage>& images, bool cursor,
                         WORD hotspotX = 0, WORD hotspotY = 0);
bool WriteBitmapFileByHand(const std::string& path, int size, COLORREF colour);

// What a dialog or message box showed when it was answered.
struct DialogSeen
{
    std::string title;
    std::string text;   // the message box text, empty for other dialogs
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

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

private:
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

// Actions for DialogScript.
DialogScript::Action Press(int id);
DialogScript::Action ChooseFile(const std::string& path);
DialogScript::Action PickFormat(int sidePosition, int bitCountPosition, int button);
DialogScript::Action CloseFromCaption();

// The real main window of the editor, made fresh for each test.
class EditorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    void Command(int id);                         // WM_COMMAND as the menu sends it
    std::string StatusText(int part) const;
    std::string ChildText(int id) const { return WindowText(GetDlgItem(main_, id)); }
    std::string HotspotText() const;
    std::vector<std::string> IndexEntries() const;
    int IndexSelection() const;
    bool ToolbarEnabled(int command) const;
    // The item state after the pop-up at this menu bar position was opened.
    bool MenuItemEnabled(int popupPosition, int command);
    bool PopupEnabled(int position) const;
    bool ToolButtonPressed(int command) const;
    // New document through the menu and the dialog.
    void NewDocument(int sidePosition, int bitCountPosition);
    void OpenFileByMenu(const std::string& path);
    // Mouse messages on the canvas, in canvas client coordinates.
    void Drag(int x0, int y0, int x1, int y1, bool left = true);
    void Click(int x, int y, bool left = true);
    // What the canvas shows at a canvas point, rendered into a memory context.
    COLORREF CanvasPixel(int x, int y);
    void EmptyClipboard();
    // Clicks the palette cell of this colour of the current image.
    void ChooseColour(COLORREF colour, bool left);
    // Canvas point at the centre of an image pixel of the current image.
    static POINT PixelCentre(int px, int py);

    HWND main_ = nullptr;
    static bool registered_;
    // Cancels, and reports, any dialog that no test step expected.
    std::unique_ptr<DialogScript> guard_;
};
