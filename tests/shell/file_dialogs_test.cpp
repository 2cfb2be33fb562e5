// The open and save dialogs, and Save and Save as through them.
#include "editor_fixture.h"

#include "shell/file_commands.h"
#include "shell/file_dialogs.h"

TEST(FileDialogs, TextsOfEachDialogAndRefusedAnswersChangeNothing)
{
    Editor editor(GetModuleHandleA(nullptr));
    IconDocument& document = editor.document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    SetModifiedForTest(document, true);
    // kind: -1 save, else the file kind to open.
    struct Case { int kind; const char* title; std::vector<std::string> types; std::vector<DialogScript::Action> answers; };
    const Case cases[] = {
        {-1, "Enregistrer sous...", {"Fichier icone (*.ico)", "Fichier curseur (*.cur)"}, {Press(IDCANCEL)}},
        {IconOrCursorFile, "Ouvrir un fichier icone ou curseur...", {"Fichier icone ou curseur(*.ico;*.cur)"},
         {Press(IDCANCEL)}},
        {BitmapFile, "Ouvrir une image...", {"Toutes les images (*.bmp;*.png)", "Fichier bitmap (*.bmp)", "Image PNG (*.png)"},
         {Press(IDCANCEL)}},
        // A missing folder or file is refused by the dialog itself: an error box,
        // then the dialog again, cancelled here.
        {-1, nullptr, {}, {ChooseFile(FreshOutputPath("no such folder\\x.ico")), Press(IDOK), Press(IDCANCEL)}},
        {IconOrCursorFile, nullptr, {}, {ChooseFile(FixturePath("no such file.ico")), Press(IDOK), Press(IDCANCEL)}},
    };
    for (const Case& c : cases) {
        std::wstring buffer = L"left over";
        DialogScript dialog(c.answers);
        EXPECT_FALSE(c.kind < 0 ? ChooseFileToSave(nullptr, buffer)
                                : ChooseFileToOpen(nullptr, buffer, FileKind(c.kind))) << c.kind;
        EXPECT_TRUE(dialog.Finished()) << c.kind;
        EXPECT_EQ(0, dialog.Unexpected()) << c.kind;
        EXPECT_EQ(L"", buffer);
        if (c.title) {
            EXPECT_EQ(c.title, dialog.Seen().at(0).title);
            EXPECT_EQ(c.types, dialog.Seen().at(0).fileTypes);
            EXPECT_FALSE(dialog.Seen().at(0).readOnlyShown);
        }
    }
    for (bool chooseName : {false, true}) {
        DialogScript dialog({Press(IDCANCEL)});      // Save with no path is Save as
        EXPECT_FALSE(SaveFromShell(editor, nullptr, chooseName));
        EXPECT_TRUE(dialog.Finished());
    }
    EXPECT_STREQ(L"", document.GetFilePath());
    EXPECT_EQ(1, document.IsModified());

    std::wstring buffer;
    const std::string fixture = FixturePath("magick_palette.ico");
    DialogScript dialog({ChooseFile(fixture)});
    EXPECT_TRUE(ChooseFileToOpen(nullptr, buffer, IconOrCursorFile));
    EXPECT_TRUE(dialog.Finished());
    EXPECT_EQ(0, lstrcmpiW(W(fixture).c_str(), buffer.c_str()));
    document.CloseDocument();

    // A name longer than the dialog may hand back is told, not taken for a cancel.
    DialogScript tooLong({ChooseFile(fixture), Press(IDOK)});
    EXPECT_FALSE(ChooseFileToOpen(nullptr, buffer, IconOrCursorFile, DWORD(fixture.size() / 2)));
    EXPECT_TRUE(tooLong.Finished());
    ASSERT_EQ(2u, tooLong.Seen().size());
    EXPECT_EQ(PathTooLongText, tooLong.Seen()[1].text);
    EXPECT_EQ(L"", buffer);
}

// Save without a path asks (the default extension is added) and stores the
// path once written; with a path it writes without asking. A refused extension
// (the dialog, then the message that the file was not saved), or a refused
// replacement of an existing file (the prompt answered No, then the file dialog
// shown again and cancelled), keeps the path, the flag and the file.
TEST(FileDialogs, SaveAndSaveAsStoreThePathOnlyOnceWritten)
{
    const std::string path = FreshOutputPath("chosen.ico"), png = FreshOutputPath("chosen.png");
    const std::string stem = path.substr(0, path.size() - 4);
    Editor editor(GetModuleHandleA(nullptr));
    IconDocument& document = editor.document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
    struct Step { bool as; std::vector<DialogScript::Action> answers; bool result; };
    const Step steps[] = {{false, {ChooseFile(stem)}, true}, {false, {}, true},
                          {true, {ChooseFile(png), Press(IDOK)}, false},
                          {true, {ChooseFile(path), Press(IDNO), Press(IDCANCEL)}, false}};
    for (int i = 0; i < 4; ++i) {
        document.GetCurrentImage()->SetPixelIndex(0, 0, i);
        SetModifiedForTest(document, true);
        const std::vector<BYTE> before = ReadWholeFile(path);
        DialogScript dialog(steps[i].answers);
        EXPECT_EQ(steps[i].result, SaveFromShell(editor, nullptr, steps[i].as)) << i;
        EXPECT_TRUE(dialog.Finished()) << i;
        EXPECT_EQ(0, dialog.Unexpected()) << i;
        EXPECT_EQ(steps[i].result ? 0 : 1, document.IsModified()) << i;
        EXPECT_EQ(0, lstrcmpiW(W(path).c_str(), document.GetFilePath())) << i;
        EXPECT_EQ(!steps[i].result, before == ReadWholeFile(path)) << i;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(png.c_str()));
    EXPECT_EQ(6u + 16u + 2216u, ReadWholeFile(path).size());
    document.CloseDocument();
}
