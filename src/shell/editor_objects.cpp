#include "shell/editor_objects.h"

#include "document/icon_document.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"

namespace {

// Definition order is construction order: the views hold references to the
// document (and the canvas to the preview), so those come first.
IconDocument document;
PaletteView palette(&document);
PreviewView preview(document);
EditView canvas(document, preview);

ShellState shell = {};

}  // namespace

IconDocument& TheDocument() { return document; }
PaletteView& ThePalette() { return palette; }
PreviewView& ThePreview() { return preview; }
EditView& TheCanvas() { return canvas; }
ShellState& Shell() { return shell; }
