// Files dropped on the main window, and paths past MAX_PATH from the shell.
#include "editor_fixture.h"

namespace {

void Drop(HWND window, const std::wstring& path)
{
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
}

}  // namespace

// A path longer than MAX_PATH is dropped: that file opens, not the one its
// first characters name, and Save writes back to it, whole.
TEST_F(EditorTest, DroppedLongPathOpensAndSavesThatFile)
{
    EXPECT_TRUE(GetWindowLongW(main_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const std::string folder = FreshOutputPath(std::string(150, 'f').c_str());
    const std::string inner = folder + "\\" + std::string(245 - folder.size() - 1, 'g');
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(inner.c_str(), nullptr);
    const std::wstring path = W(inner) + L"\\dropped-long-name.cur";
    ASSERT_LT(MAX_PATH, path.size());
    ASSERT_TRUE(CopyFileW(W(FixtureCopy("icotool_cursor.cur", "long source.cur")).c_str(), path.c_str(), FALSE));
    Drop(main_, path);
    PumpMessages();
    EXPECT_EQ("Vemiro Editor 1.4  : [ dropped-long-name.cur ]", WindowText(main_));
    const int images = Document().GetImageCount() + 1;
    ASSERT_EQ(EditOutcome::Done, Document().AddNewImage(16, 4));
    SetModifiedForTest(Document(), true);
    Command(IDM_SAVE);
    EXPECT_EQ(0, Document().IsModified());
        std::vector<BYTE> saved(6);
    DWORD got = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(ReadFile(file, saved.data(), 6, &got, nullptr));
    CloseHandle(file);
    EXPECT_EQ(images, saved[4]) << "images in the file at the whole path";
    Document().CloseDocument();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(inner.c_str())) << "something left beside the file";
    RemoveDirectoryA(folder.c_str());
    DeleteFileA(FreshOutputPath("long source.cur").c_str());
}

// While a dialog of the editor is up, a drop does nothing and says nothing:
// the dialog's answer then applies to the document it was opened for.
TEST_F(EditorTest, DropsAreIgnoredWhileADialogIsUp)
{
    const std::string dropped = FixtureCopy("icotool_cursor.cur", "dropped under a dialog.cur");
    auto dropThen = [this, &dropped](DialogScript::Action answer) -> DialogScript::Action {
        return [this, &dropped, answer](HWND dialog) {
            Drop(main_, W(dropped));  // handled before the answer, which is posted too
            return answer(dialog);
        };
    };
    NewDocument(k16, kBits4);
    struct Case { int command; DialogScript::Action answer; int images; };
    for (const Case& c : {Case{IDM_CLOSE, Press(IDCANCEL), 1}, Case{IDM_ADD_BLANK_IMAGE, PickFormat(k32, kBits8), 2},
                          Case{IDM_SAVE_AS, Press(IDCANCEL), 2}}) {
        SetModifiedForTest(Document(), true);
        Command(c.command, {dropThen(c.answer)});
        EXPECT_EQ("Vemiro Editor 1.4  : [ nouveau ]", WindowText(main_)) << c.command;
        EXPECT_EQ(c.images, Document().GetImageCount()) << c.command;
    }
    DeleteFileA(dropped.c_str());
}
