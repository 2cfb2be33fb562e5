// Files of other programs with images the editor keeps, and paths in other scripts.
#include "editor_fixture.h"

#include "shell/startup.h"

namespace {

std::wstring WideTitle(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

const char* const kOneKept = "Ce fichier contient 1 image que l'éditeur ne sait pas modifier :\n- 256 x 256 PNG\n"
                             "Elle est conservée telle quelle et sera réécrite sans changement à l'enregistrement.";

}  // namespace

// Each file is told once at open, drawn on at (5, 7) of its 32-pixel image and
// saved as test-output/kept-saved/NAME, which the host check kept_entries reads
// with the programs that made it. A file of PNG images only is refused.
TEST_F(EditorTest, FilesWithImagesTheEditorKeepsOpenEditAndSaveWhole)
{
    struct Case { const char* name; int image32; const char* notice; };
    for (const Case& c : {Case{"magick_png256.ico", 1, kOneKept}, Case{"icotool_png256.cur", 0, kOneKept},
                          Case{"icotool_png256.ico", 0, kOneKept}}) {
        const std::vector<DialogSeen> seen = Command(IDM_OPEN, {ChooseFile(FixtureCopy(c.name, c.name)), Press(IDOK)});
        ASSERT_EQ(2u, seen.size()) << c.name;
        EXPECT_EQ(c.notice, seen[1].text) << c.name;
        HWND box = GetDlgItem(main_, IDC_IMAGE_INDEX_BOX);
        SendMessageA(box, CB_SETCURSEL, c.image32, 0);
        SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_INDEX_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        ASSERT_EQ(32, Document().GetCurrentImage()->GetSize()) << c.name;
        ChooseColour(kRed, true);
        ClickPixel(5, 7);
        OutputFolder("kept-saved");
        Command(IDM_SAVE_AS, {ChooseFile(FreshOutputPath((std::string("kept-saved\\") + c.name).c_str()))});
    }
    const std::string png = FixtureCopy("pillow_png.ico", "only-png.ico");
    Command(IDM_CLOSE);
    const std::vector<DialogSeen> refused = Command(IDM_OPEN, {ChooseFile(png), Press(IDOK)});
    ASSERT_EQ(2u, refused.size());
    EXPECT_EQ("Le fichier « " + png + " » n'a pas pu être ouvert.\nIl contient une image compressée au format PNG, "
              "que l'éditeur ne sait pas modifier.", refused[1].text);
    ExpectNoDocumentShown();
}

// A folder named in Cyrillic, then one in Chinese: the file opens from the
// command line with its name in the title, saves over itself, saves as beside
// itself, both open again when dropped, and nothing else is left in the folder.
TEST_F(EditorTest, PathsInOtherScriptsOpenSaveAndShowTheirNames)
{
    const std::wstring source = W(FixtureCopy("magick_rgba.ico", "any-script.ico"));
    for (const std::wstring name : {L"Значки", L"图标"}) {
        const std::wstring folder = W(FreshOutputPath("")) + name, file = folder + L"\\" + name + L".ico";
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(source.c_str(), file.c_str(), FALSE));
        std::wstring program = L"Vemiro.exe", argument = file;
        wchar_t* argv[] = {&program[0], &argument[0], nullptr};
        ASSERT_TRUE(OpenCommandLineFile(*editor_, main_, 2, argv));
        EXPECT_EQ(L"Vemiro Editor 1.4  : [ " + name + L".ico ]", WideTitle(main_));
        ChooseColour(kRed, true);
        ClickPixel(1, 1);
        Command(IDM_SAVE);
        Command(IDM_SAVE_AS, {ChooseFile(folder + L"\\" + name + L" 2.ico")});
        EXPECT_EQ(L"Vemiro Editor 1.4  : [ " + name + L" 2.ico ]", WideTitle(main_));
        for (const std::wstring& path : {file, folder + L"\\" + name + L" 2.ico"}) {
            Command(IDM_CLOSE);
            PostMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
            PumpMessages();
            ASSERT_TRUE(Document().IsOpen());
            EXPECT_EQ(kRed, ShownPixel(1, 1));
            EXPECT_TRUE(DeleteFileW(path.c_str()));
        }
        Command(IDM_CLOSE);
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "a file was left behind";
    }
}
