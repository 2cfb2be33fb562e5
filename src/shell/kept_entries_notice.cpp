#include "shell/kept_entries_notice.h"

#include <stdio.h>
#include <string>
#include <utility>

#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kOneKept = "Ce fichier contient 1 image que l'éditeur ne sait pas modifier :\n";
const char* const kSeveralKept = "Ce fichier contient %d images que l'éditeur ne sait pas modifier :\n";
const char* const kOneWrittenBack =
    "Elle est conservée telle quelle et sera réécrite sans changement à l'enregistrement.";
const char* const kSeveralWrittenBack =
    "Elles sont conservées telles quelles et seront réécrites sans changement à l'enregistrement.";
// A file lists a few kinds at most; a longer list would not fit on the screen.
const size_t kMostLines = 8;

std::string Describe(const KeptEntry& kept)
{
    char text[128];
    if (kept.why == OpenFailurePngImage)
        snprintf(text, sizeof text, "%d x %d PNG", kept.width, kept.height);
    else
        snprintf(text, sizeof text, "%d x %d en %d bits : %s", kept.width, kept.height, kept.bitCount,
                 kept.why == OpenFailureUnsupportedSize ? "taille non prise en charge"
                                                        : "couleurs non prises en charge");
    return text;
}

// One line per kind of entry, in file order, with how many there are of it.
std::string KeptEntriesText(const std::vector<KeptEntry>& kept)
{
    std::vector<std::pair<std::string, int>> kinds;
    for (const KeptEntry& entry : kept) {
        const std::string description = Describe(entry);
        size_t k = 0;
        while (k < kinds.size() && kinds[k].first != description)
            ++k;
        if (k == kinds.size())
            kinds.emplace_back(description, 0);
        ++kinds[k].second;
    }
    char count[96];
    snprintf(count, sizeof count, kept.size() == 1 ? kOneKept : kSeveralKept, int(kept.size()));
    std::string text = count;
    for (size_t k = 0; k < kinds.size() && k <= kMostLines; ++k) {
        if (k == kMostLines) {
            text += "- ...\n";
            break;
        }
        text += "- " + kinds[k].first;
        if (kinds[k].second > 1)
            text += " (" + std::to_string(kinds[k].second) + " images)";
        text += "\n";
    }
    return text + (kept.size() == 1 ? kOneWrittenBack : kSeveralWrittenBack);
}

} // namespace

void TellAboutKeptEntries(HWND mainWindow, const std::vector<KeptEntry>& kept)
{
    if (kept.empty())
        return;
    MessageBoxText(mainWindow, KeptEntriesText(kept).c_str(), AppTitle, MB_ICONINFORMATION);
}
