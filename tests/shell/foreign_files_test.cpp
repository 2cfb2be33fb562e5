// Files of other programs with images the editor keeps, and paths in other scripts.
#include "editor_fixture.h"

#include "shell/startup.h"
#include "support/test_files.h"

namespace {

std::wstring WideTitle(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

const char* const kOneKept = "Ce fichier contient 1 image que l'éditeur ne sait pas modifier :\n- 128 x 128 en 16 "
                             "bits : couleurs non prises en charge\nElle est conservée telle quelle et sera réécrite "
                             "sans changement à l'enregistrement.";

}  // namespace

// Files with PNG images open without a notice, are drawn on at (5, 7) of their
// 32- and 256-pixel images and saved as test-output/kept-saved/NAME, which the host check
// kept_entries reads with the programs that made them. An image the editor
// cannot edit is told once at open.
TEST_F(EditorTest, FilesWithImagesTheEditorKeepsOpenEditAndSaveWhole)
{
    struct Case { const char* name; int image32, image256; };
    for (const Case& c : {Case{"magick_png256.ico", 1, 3}, Case{"icotool_png256.cur", 0, 1},
                          Case{"icotool_png256.ico", 0, 3}, Case{"pillow_png.ico", 1, -1},
                          Case{"pillow_png_soft.ico", 3, 9}}) {
        const std::vector<DialogSeen> seen = Command(IDM_OPEN, {ChooseFile(FixtureCopy(c.name, c.name))});
        ASSERT_EQ(1u, seen.size()) << c.name;
        for (const int image : {c.image32, c.image256}) {
            if (image < 0)
                continue;
            HWND box = GetDlgItem(main_, IDC_IMAGE_INDEX_BOX);
            SendMessageA(box, CB_SETCURSEL, image, 0);
            SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_INDEX_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
            ASSERT_EQ(image == c.image32 ? 32 : 256, Document().GetCurrentImage()->GetSize()) << c.name;
            ChooseColour(kRed, true);
            ClickPixel(5, 7);
        }
        OutputFolder("kept-saved");
        Command(IDM_SAVE_AS, {ChooseFile(FreshOutputPath((std::string("kept-saved\\") + c.name).c_str()))});
    }
    // Its 128-pixel record made 16 bits deep.
    const std::string deep = FixtureCopy("icotool_depths.ico", "deep.ico");
    std::vector<BYTE> bytes = ReadWholeFile(deep);
    const size_t record = bytes[6 + 4 * 16 + 12] | bytes[6 + 4 * 16 + 13] << 8 | bytes[6 + 4 * 16 + 14] << 16;
    bytes[record + 14] = 16;
    ASSERT_TRUE(WriteWholeFile(deep, bytes));
    const std::vector<DialogSeen> told = Command(IDM_OPEN, {ChooseFile(deep), Press(IDOK)});
    ASSERT_EQ(2u, told.size());
    EXPECT_EQ(kOneKept, told[1].text);
    EXPECT_EQ(4, Document().GetImageCount());
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
