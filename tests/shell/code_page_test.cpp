#include "editor_fixture.h"

#include "win/wide_text.h"

namespace {

std::string TipText(HWND tips, HWND owner, UINT_PTR id)
{
    wchar_t text[128] = L"";
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = id;
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    return Cp1252(text);
}

}  // namespace

// Run in a process of its own whose system code page is 1251 (Russian): the
// French texts reach the status bar, the frames, the tooltips and a message
// box with their accents.
TEST_F(EditorTest, DISABLED_OnAnotherCodePageTheTextsKeepTheirAccents)
{
    ASSERT_EQ(1251u, GetACP());
    EXPECT_EQ("Prêt", StatusText(0));
    EXPECT_NE(nullptr, FindWindowExW(main_, nullptr, L"Button", WideText("Aperçu").c_str()));

    HWND toolbarTips = reinterpret_cast<HWND>(SendMessageW(editor_->shell.toolbar, TB_GETTOOLTIPS, 0, 0));
    EXPECT_EQ("Annuler la dernière modification", TipText(toolbarTips, editor_->shell.toolbar, IDM_UNDO));
    const UINT_PTR selectButton = reinterpret_cast<UINT_PTR>(GetDlgItem(main_, IDM_SELECT));
    std::string shown;
    for (HWND tips = nullptr; shown.empty() && (tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr));)
        shown = TipText(tips, main_, selectButton);
    EXPECT_EQ("Sélection", shown);

    DialogScript script({Press(IDOK)});
    PostMessageW(main_, VM_EDIT_REFUSED, 0, 0);
    PumpMessages();
    ASSERT_EQ(1u, script.Seen().size());
    EXPECT_EQ(0u, script.Seen()[0].text.find("Cette modification n'a pas pu être faite : la mémoire"));
}
