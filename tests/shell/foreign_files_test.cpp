// Files of other programs with entries the editor keeps, and paths in other scripts.
#include "editor_fixture.h"

#include "shell/startup.h"

namespace {

std::wstring WideTitle(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring OutputFolderW()
{
    std::wstring folder = W(VEMIRO_TEST_OUTPUT);
    for (wchar_t& c : folder)
        c = c == L'/' ? L'\\' : c;
    return folder;
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
    const Case cases[] = {
        {"magick_png256.ico", 1, kOneKept},
        {"icotool_png256.cur", 0, kOneKept},
        {"icotool_png256.ico", 0,
         "Ce fichier contient 2 images que l'éditeur ne sait pas modifier :\n- 24 x 24 en 32 bits : taille non prise en "
         "charge\n- 256 x 256 PNG\nElles sont conservées telles quelles et seront réécrites sans changement à "
         "l'enregistrement."},
    };
    CreateDirectoryA((std::string(VEMIRO_TEST_OUTPUT) + "/kept-saved").c_str(), nullptr);
    HWND box = GetDlgItem(main_, IdImageIndexBox);
    for (const Case& c : cases) {
        const std::vector<DialogSeen> seen = Command(CmdOpen, {ChooseFile(FixtureCopy(c.name, c.name)), Press(IDOK)});
        ASSERT_EQ(2u, seen.size()) << c.name;
        EXPECT_EQ(c.notice, seen[1].text) << c.name;
        SendMessageA(box, CB_SETCURSEL, c.image32, 0);
        SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IdImageIndexBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        ASSERT_EQ(32, TheDocument().GetCurrentImage()->GetSize()) << c.name;
        ChooseColour(kRed, true);
        ClickPixel(5, 7);
        Command(CmdSaveAs, {ChooseFile(FreshOutputPath((std::string("kept-saved\\") + c.name).c_str()))});
        EXPECT_EQ(0, TheDocument().IsModified()) << c.name;
    }
    const std::string png = FixtureCopy("pillow_png.ico", "only-png.ico");
    Command(CmdClose);
    const std::vector<DialogSeen> refused = Command(CmdOpen, {ChooseFile(png), Press(IDOK)});
    ASSERT_EQ(2u, refused.size());
    EXPECT_EQ("Le fichier « " + png + " » n'a pas pu être ouvert.\nIl contient une image compressée au format PNG, "
              "que l'éditeur ne sait pas modifier.", refused[1].text);
    ExpectNoDocumentShown();
}

// A folder named in Cyrillic, then one in Chinese: the file opens from the
// command line with its name in the title, saves over itself, saves as beside
// itself, opens again when dropped, and nothing else is left in the folder.
TEST_F(EditorTest, PathsInOtherScriptsOpenSaveAndShowTheirNames)
{
    const std::wstring source = W(FixtureCopy("magick_rgba.ico", "any-script.ico"));
    for (const std::wstring name : {L"Значки", L"图标"}) {
        const std::wstring folder = OutputFolderW() + L"\\" + name, file = folder + L"\\" + name + L".ico";
        const std::wstring again = folder + L"\\" + name + L" 2.ico";
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(source.c_str(), file.c_str(), FALSE));
        std::wstring program = L"Vemiro.exe", argument = file;
        wchar_t* argv[] = {&program[0], &argument[0], nullptr};
        ASSERT_TRUE(OpenCommandLineFile(main_, 2, argv));
        EXPECT_EQ(L"Vemiro Editor 1.4  : [ " + name + L".ico ]", WideTitle(main_));
        ChooseColour(kRed, true);
        ClickPixel(1, 1);
        Command(CmdSave);
        Command(CmdSaveAs, {ChooseFile(again)});
        EXPECT_EQ(L"Vemiro Editor 1.4  : [ " + name + L" 2.ico ]", WideTitle(main_));
        Command(CmdClose);
        for (const std::wstring& path : {file, again}) {
            PostMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
            PumpMessages();
            EXPECT_EQ(kRed, ShownPixel(1, 1));
            EXPECT_EQ(0u, WideTitle(main_).find(L"Vemiro Editor 1.4  : [ " + name));
            EXPECT_TRUE(DeleteFileW(path.c_str()));
        }
        Command(CmdClose);
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "a file was left behind";
    }
}
