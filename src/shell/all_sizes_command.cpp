#include "shell/all_sizes_command.h"

#include "document/icon_document.h"
#include "shell/commands.h"
#include "shell/editor.h"
#include "shell/file_commands.h"
#include "shell/status_bars.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kNoneMissing = "Le document a déjà toutes les tailles.";
const char* const kSizesRefused =
    "Les tailles n'ont pas pu être créées : la mémoire ou les ressources graphiques du système sont "
    "épuisées.\nLe document est resté tel qu'il était.";

}  // namespace

std::string AddedSizesText(const std::vector<int>& sizes)
{
    // Short enough for the status bar's first part even with all nine sizes.
    std::string text = sizes.size() > 1 ? "Ajoutées : " : "Ajoutée : ";
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i > 0)
            text += i + 1 == sizes.size() ? " et " : ", ";
        text += std::to_string(sizes[i]);
    }
    return text + " px";
}

// The current image stays on screen; only the list of images grows, and the
// document's observers see to the views.
void CreateAllSizes(Editor& editor, HWND mainWindow)
{
    std::vector<int> added;
    switch (editor.document.AddMissingSizes(added)) {
    case SizesOutcome::Added:
        ShowStatusMessage(editor, AddedSizesText(added).c_str());
        break;
    case SizesOutcome::NoneMissing: ShowStatusMessage(editor, kNoneMissing); break;
    case SizesOutcome::TooManyImages: MessageBoxText(mainWindow, TooManyImagesText, AppTitle, MB_ICONINFORMATION); break;
    case SizesOutcome::NoMemory: MessageBoxText(mainWindow, kSizesRefused, AppTitle, MB_ICONEXCLAMATION); break;
    case SizesOutcome::NoImage: break;
    }
}
