#include "shell/file_commands.h"

#include <shlwapi.h>

#include "document/icon_document.h"
#include "shell/editor.h"
#include "shell/file_dialogs.h"
#include "shell/kept_entries_notice.h"
#include "shell/new_image_dialog.h"
#include "shell/status_bars.h"
#include "views/edit_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kSaveFailed =
    "Le fichier « %s » n'a pas pu être enregistré : il n'a pas pu être créé, écrit ou remplacé.\n"
    "Le fichier sur le disque est resté tel qu'il était.";
const char* const kSaveTooLarge =
    "Le fichier « %s » n'a pas pu être enregistré : l'éditeur ne pourrait pas le rouvrir "
    "(1 000 images ou 256 Mo au plus).\nLe fichier sur le disque est resté tel qu'il était.";
const char* const kSaveNoMemory =
    "Le fichier « %s » n'a pas pu être enregistré : la mémoire est insuffisante.\n"
    "Le fichier sur le disque est resté tel qu'il était.";
const char* const kOpenFailed = "Le fichier « %s » n'a pas pu être ouvert.\n%s";
const char* const kImportFailed = "Le fichier « %s » n'a pas pu être importé.\n%s";
const char* const kSizeRefused = "La taille de l'image n'est pas valide.";
const char* const kTypeRefused = "Le type de l'image n'est pas valide.";
const char* const kFitQuestion =
    "L'image « %s » fait %s pixels ; une image d'icône est carrée et fait au plus 256 pixels de côté.\n\n"
    "L'adapter ? %s";
const char* const kFitScaled = "Elle sera réduite à %s pixels et centrée sur un carré transparent de %s pixels.";
const char* const kFitCentred = "Elle sera centrée sur un carré transparent de %s pixels.";

// Wide, so that the path shows as it is whatever its script.
void TellAboutFile(HWND owner, const char* format, const wchar_t* path, const char* reason = "")
{
    MessageBoxW(owner, FormatWide(format, {path, WideText(reason)}).c_str(), WideText(AppTitle).c_str(),
                MB_ICONEXCLAMATION);
}

// The document shows itself through its observer, whatever a failed attempt
// left of it; the pointer's position is forgotten when no new one came.
void AfterReplace(Editor& editor, bool succeeded)
{
    if (!succeeded)
        UpdateCursorPosition(editor, 0, 0);
}

}  // namespace

const char* const TooManyImagesText =
    "Le document ne peut pas recevoir d'image de plus : l'éditeur ne pourrait pas rouvrir le fichier "
    "(1 000 images au plus).";
const char* const SavePromptText = "     Enregistrer les modifications .  ";

const char* OpenFailureText(OpenFailure why)
{
    switch (why) {
    case OpenFailureNone: return "";
    case OpenFailureUnreadable: return "Il est introuvable ou ne peut pas être lu.";
    case OpenFailureNotIconFile: return "Ce n'est pas un fichier icône ou curseur.";
    case OpenFailureDamaged: return "Il est endommagé ou incomplet.";
    case OpenFailurePngImage:
        return "Il contient une image compressée au format PNG, que l'éditeur ne sait pas modifier.";
    case OpenFailureUnsupportedSize:
        return "Il contient une image d'une taille que l'éditeur ne sait pas modifier "
               "(images carrées de 1 à 256 pixels de côté).";
    case OpenFailureUnsupportedDepth:
        return "Il contient une image d'un nombre de couleurs que l'éditeur ne sait pas modifier "
               "(1, 4, 8, 24 ou 32 bits par pixel).";
    case OpenFailureTooManyImages: return "Il contient plus d'images que l'éditeur ne peut en ouvrir.";
    case OpenFailureOutOfMemory: return "La mémoire est insuffisante.";
    case OpenFailureTooLarge: return "Il dépasse 256 Mo, la taille la plus grande que l'éditeur ouvre.";
    }
    return "";
}

const char* ImportFailureText(ImportFailure why)
{
    switch (why) {
    case ImportFailureUnreadable: return OpenFailureText(OpenFailureUnreadable);
    case ImportFailureNotBitmap: return "Ce n'est ni un fichier bitmap ni une image PNG.";
    case ImportFailureNoCodec: return "Le composant du système qui lit les images PNG n'est pas disponible.";
    case ImportFailureDamaged: return OpenFailureText(OpenFailureDamaged);
    case ImportFailureOutOfMemory: return OpenFailureText(OpenFailureOutOfMemory);
    case ImportFailureTooManyImages: return TooManyImagesText;
    default: return "";
    }
}

bool SaveFromShell(Editor& editor, HWND owner, bool chooseName)
{
    IconDocument& document = editor.document;
    std::wstring path;
    if (!chooseName && document.GetFilePath()[0])
        path = document.GetFilePath();
    else if (!ChooseFileToSave(owner, path))
        return false;
    const SaveFailure why = document.SaveDocumentTo(path.c_str());
    if (why == SaveFailure::None)
        return true;
    TellAboutFile(owner, why == SaveFailure::NoMemory ? kSaveNoMemory : why == SaveFailure::TooLarge ? kSaveTooLarge
                                                                                                   : kSaveFailed,
                  path.c_str());
    return false;
}

bool AskSaveChanges(Editor& editor, HWND owner)
{
    IconDocument& document = editor.document;
    if (!document.IsOpen() || !document.IsModified())
        return true;
    switch (MessageBoxText(owner, SavePromptText, AppTitle, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        // A save that failed or whose dialog was cancelled keeps the document:
        // going on would silently lose the changes the user asked to keep.
        return SaveFromShell(editor, owner, false);
    case IDNO:
        return true;
    }
    return false;
}

void TellOpenFailure(HWND owner, const wchar_t* path, OpenFailure why)
{
    TellAboutFile(owner, kOpenFailed, path, OpenFailureText(why));
}

bool OpenIconFile(Editor& editor, HWND mainWindow, const wchar_t* path)
{
    const OpenFailure why = editor.document.OpenFile(path);
    if (why == OpenFailureNone) {
        TellAboutKeptEntries(mainWindow, editor.document.GetKeptEntries());
        return true;
    }
    TellOpenFailure(mainWindow, path, why);
    return false;
}

std::wstring Dimensions(int width, int height)
{
    return std::to_wstring(width) + L" x " + std::to_wstring(height);
}

// Says what fitting a picture will do to it; true when the user wants it.
bool AskToFit(HWND mainWindow, const wchar_t* path, const PictureFit& fit)
{
    const std::wstring square = Dimensions(fit.side, fit.side);
    const bool scaled = fit.width > fit.side || fit.height > fit.side;
    const std::wstring what = scaled ? FormatWide(kFitScaled, {Dimensions(fit.fitted.cx, fit.fitted.cy), square})
                                     : FormatWide(kFitCentred, {square});
    const std::wstring text =
        FormatWide(kFitQuestion, {PathFindFileNameW(path), Dimensions(fit.width, fit.height), what});
    return MessageBoxW(mainWindow, text.c_str(), WideText(AppTitle).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The two refusals the editor has always worded on their own; any other
// failure names the file and the reason. A picture of no icon size is fitted
// only once the user has been told how and agreed.
bool ImportBitmapFile(Editor& editor, HWND mainWindow, const wchar_t* path, bool replace)
{
    PictureFit fit;
    ImportFailure why = editor.document.ImportBitmap(path, replace, &fit);
    if (why == ImportFailureNone)
        return true;
    if (why == ImportFailureNeedsFit) {
        if (!AskToFit(mainWindow, path, fit))
            return false;
        fit.allowed = true;
        why = editor.document.ImportBitmap(path, replace, &fit);
        if (why == ImportFailureNone)
            return true;
    }
    switch (why) {
    case ImportFailureSize: MessageBoxText(mainWindow, kSizeRefused, AppTitle, MB_ICONINFORMATION); break;
    case ImportFailureType: MessageBoxText(mainWindow, kTypeRefused, AppTitle, MB_ICONINFORMATION); break;
    default: TellAboutFile(mainWindow, kImportFailed, path, ImportFailureText(why)); break;
    }
    return false;
}

void NewDocument(Editor& editor, HWND mainWindow)
{
    editor.canvas.EndDrag();
    if (!AskSaveChanges(editor, mainWindow))
        return;
    int side = 0, bitCount = 0;
    NewImageDialog dialog;
    if (!dialog.Show(mainWindow, &side, &bitCount))
        return;
    IconDocument& document = editor.document;
    document.CloseDocument();
    AfterReplace(editor, document.AddNewImage(side, bitCount) == EditOutcome::Done);
}

void OpenDocument(Editor& editor, HWND mainWindow)
{
    editor.canvas.EndDrag();
    if (!AskSaveChanges(editor, mainWindow))
        return;
    std::wstring path;
    if (ChooseFileToOpen(mainWindow, path, IconOrCursorFile))
        AfterReplace(editor, OpenIconFile(editor, mainWindow, path.c_str()));
}

void ImportBitmapDocument(Editor& editor, HWND mainWindow)
{
    editor.canvas.EndDrag();
    if (!AskSaveChanges(editor, mainWindow))
        return;
    std::wstring path;
    if (ChooseFileToOpen(mainWindow, path, BitmapFile))
        AfterReplace(editor, ImportBitmapFile(editor, mainWindow, path.c_str(), true));
}

void OpenDroppedFile(Editor& editor, HWND mainWindow, const wchar_t* path)
{
    editor.canvas.EndDrag();
    const wchar_t* extension = PathFindExtensionW(path);
    const bool icon = FileKindOfPath(path) != IconFileKind::None;
    const bool bitmap = lstrcmpiW(extension, L".bmp") == 0 || lstrcmpiW(extension, L".png") == 0;
    if (!icon && !bitmap) {
        TellAboutFile(mainWindow, kOpenFailed, path, OpenFailureText(OpenFailureNotIconFile));
        return;
    }
    if (!AskSaveChanges(editor, mainWindow))
        return;
    AfterReplace(editor, icon ? OpenIconFile(editor, mainWindow, path) : ImportBitmapFile(editor, mainWindow, path, true));
}

void CloseCurrentDocument(Editor& editor, HWND mainWindow)
{
    editor.canvas.EndDrag();
    if (!AskSaveChanges(editor, mainWindow))
        return;
    editor.document.CloseDocument();
    UpdateCursorPosition(editor, 0, 0);
}
