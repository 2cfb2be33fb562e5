// The resources linked into the program, read back through the same Win32 calls
// that the program and the shell use.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/texts.h"
#include "win/gdi_guards.h"

namespace {

HMODULE Module()
{
    return GetModuleHandleA(nullptr);
}

// Bytes of a resource of this executable; empty when it is missing.
std::vector<unsigned char> ResourceBytes(LPCSTR name, int type)
{
    HRSRC found = FindResourceA(Module(), name, MAKEINTRESOURCEA(type));
    const unsigned char* data =
        found ? static_cast<const unsigned char*>(LockResource(LoadResource(Module(), found))) : nullptr;
    return data ? std::vector<unsigned char>(data, data + SizeofResource(Module(), found))
                : std::vector<unsigned char>();
}

std::vector<unsigned char> ResourceBytes(int id, int type)
{
    return ResourceBytes(MAKEINTRESOURCEA(id), type);
}

unsigned Word(const std::vector<unsigned char>& bytes, size_t at)
{
    return at + 2 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0xFFFFFFFFu;
}

unsigned Dword(const std::vector<unsigned char>& bytes, size_t at)
{
    return at + 4 <= bytes.size() ? Word(bytes, at) | Word(bytes, at + 2) << 16 : 0xFFFFFFFFu;
}

// A bitmap resource loaded as it is stored (size, depth, pixels), selected into a context to be read.
struct Bitmap
{
    explicit Bitmap(int id)
        : handle(static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                 LR_CREATEDIBSECTION))),
          dc(nullptr), keep(dc, handle)
    {
        GetObjectA(handle, sizeof section, &section);
    }
    OwnedBitmap handle;
    MemoryDC dc;
    SelectGuard keep;
    DIBSECTION section = {};
};

// One line per menu item: indented by depth, text, id (not for a pop-up) and state.
void ReadMenu(HMENU menu, const std::string& indent, std::vector<std::string>& lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        if (!sub && (state & MF_SEPARATOR)) {  // a pop-up's state holds its item count
            lines.push_back(indent + "-");  // a separator's greyed state means nothing (Wine sets it)
            continue;
        }
        lines.push_back(indent + "'" + text + "'" + (sub ? "" : " " + std::to_string(GetMenuItemID(menu, i))) +
                        (state & MF_GRAYED ? " greyed" : "") + (state & MF_CHECKED ? " checked" : ""));
        if (sub)
            ReadMenu(sub, indent + "  ", lines);
    }
}

TEST(Resources, MenuHasEveryItemWithItsTextIdAndInitialState)
{
    const std::vector<std::string> expected = {
        "' Fichier '", "  'Nouveau' 40001", "  'Ouvrir' 40002", "  'Enregistrer' 40003 greyed",
        "  'Enregistrer sous' 40004 greyed", "  -", "  'Importer un bitmap' 40005", "  -",
        "  'Fermer' 40006 greyed", "  -", "  'Quitter' 40007",
        "' Edition '", "  'Annuler' 40010 greyed", "  'Répéter' 40011 greyed", "  -", "  'Couper' 40012 greyed",
        "  'Copier' 40013 greyed", "  'Coller' 40014 greyed", "  -", "  'Sélectionner tout' 40015 greyed",
        "' Outils ' greyed", "  'Crayon' 40020", "  'Remplissage' 40021", "  'Prelèvement' 40022",
        "  'Gommage' 40023", "  'Sélection' 40028", "  -", "  'Ligne' 40024", "  'Rectangle' 40025",
        "  'Ellipse' 40026", "  -", "  'Récupérer tête de curseur' 40027", "  -",
        "  'Décaler vers la gauche' 40040", "  'Décaler vers la droite' 40042", "  'Décaler vers le haut' 40041",
        "  'Décaler vers le bas' 40044", "  -", "  'Miroir horizontal' 40045", "  'Miroir vertical' 40043",
        "' Image ' greyed", "  'Ajouter une image'", "    'Image vierge' 40060", "    'Image bitmap' 40061",
        "  'Supprimer image courante' 40051 greyed", "  'Restaurer l'image supprimée' 40052 greyed", "  -",
        "  'Créer toutes les tailles' 40054", "  -", "  'Effacer image' 40053",
        "' Aide '", "  'Rubrique d'aide' 40070", "  'A propos de...' 40071",
    };
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(100));
    ASSERT_NE(nullptr, menu);
    std::vector<std::string> lines;
    ReadMenu(menu, "", lines);
    DestroyMenu(menu);
    ASSERT_EQ(expected.size(), lines.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], lines[i]) << "line " << i;
}

// Reads a name-or-ordinal field; ordinals come back as "#n".
std::string NameOrOrdinal(const std::vector<unsigned char>& bytes, size_t& at)
{
    if (Word(bytes, at) == 0xFFFF) {
        at += 4;
        return "#" + std::to_string(Word(bytes, at - 2));
    }
    wchar_t text[256] = {};
    for (size_t n = 0; at + 2 <= bytes.size() && Word(bytes, at) != 0 && n < 255; at += 2)
        text[n++] = static_cast<wchar_t>(Word(bytes, at));
    at += 2;
    return Cp1252(text);
}

std::string Item(const std::string& className, unsigned id, const std::string& text, unsigned style, int x,
                 int y, int cx, int cy)
{
    char line[256];
    snprintf(line, sizeof line, "%s %u '%s' %08X %d,%d,%d,%d", className.c_str(), id, text.c_str(), style, x, y,
             cx, cy);
    return line;
}

// Predefined classes are written as ordinals or as names, by resource compiler.
std::string ClassName(std::string field)
{
    const char* const ordinals[] = { "#128", "BUTTON", "#130", "STATIC", "#133", "COMBOBOX" };
    for (int i = 0; i < 6; i += 2)
        field = field == ordinals[i] ? ordinals[i + 1] : field;
    CharUpperA(&field[0]);
    return field;
}

TEST(Resources, NewImageDialogTemplateIsExact)
{
    std::vector<unsigned char> t = ResourceBytes(1000, 5);
    size_t at = 18;
    const std::string menuAndClass = NameOrOrdinal(t, at) + NameOrOrdinal(t, at);
    const std::string title = NameOrOrdinal(t, at);
    // A plain template (not an extended one) without menu or class; its item count stands for the id.
    EXPECT_EQ(Item("", 8, "Nouvelle icône ou curseur",
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 0, 0, 220, 105),
              Item(menuAndClass, Word(t, 8), title, Dword(t, 0), Word(t, 10), Word(t, 12), Word(t, 14), Word(t, 16)));
    EXPECT_EQ(0u, Dword(t, 4));
    EXPECT_EQ(8u, Word(t, at));
    at += 2;
    EXPECT_EQ("MS Sans Serif", NameOrOrdinal(t, at));

    const unsigned child = WS_CHILD | WS_VISIBLE;
    const std::vector<std::string> expected = {
        Item("STATIC", 0xFFFF, "#101", child | SS_ICON, 20, 25, 0, 0),
        Item("STATIC", 0xFFFF, "Taille de l'icône :", child | WS_GROUP, 60, 25, 60, 8),
        Item("COMBOBOX", 1001, "", child | CBS_DROPDOWNLIST | WS_VSCROLL, 130, 23, 70, 110),
        Item("STATIC", 0xFFFF, "Nombre de bits par pixel :", child | WS_GROUP, 60, 45, 90, 8),
        Item("COMBOBOX", 1002, "", child | CBS_DROPDOWNLIST, 160, 43, 40, 70),
        Item("BUTTON", 0xFFFF, "", child | BS_GROUPBOX, 10, 10, 200, 65),
        Item("BUTTON", IDOK, "OK", child | WS_TABSTOP, 70, 85, 60, 14),
        Item("BUTTON", IDCANCEL, "Annuler", child | WS_TABSTOP, 140, 85, 60, 14),
    };
    for (const std::string& want : expected) {
        at = (at + 3) & ~static_cast<size_t>(3);
        ASSERT_LE(at + 18, t.size());
        EXPECT_EQ(0u, Dword(t, at + 4)) << want;
        const unsigned style = Dword(t, at), id = Word(t, at + 16);
        const short x = static_cast<short>(Word(t, at + 8)), y = static_cast<short>(Word(t, at + 10)),
                    cx = static_cast<short>(Word(t, at + 12)), cy = static_cast<short>(Word(t, at + 14));
        at += 18;
        const std::string className = NameOrOrdinal(t, at), text = NameOrOrdinal(t, at);
        at += 2 + Word(t, at);
        EXPECT_EQ(want, Item(ClassName(className), id, text, style, x, y, cx, cy));
    }

}

TEST(Resources, ProgramIconsHold32And16PixelImagesOf16Colours)
{
    const LPCSTR groups[] = { MAKEINTRESOURCEA(101), "A" };
    for (LPCSTR name : groups) {
        std::vector<unsigned char> group = ResourceBytes(name, 14);
        ASSERT_GE(group.size(), 6u + 2 * 14);
        EXPECT_EQ(1u, Word(group, 2));
        ASSERT_EQ(2u, Word(group, 4));
        for (size_t i = 0; i < 2; ++i) {
            const size_t entry = 6 + 14 * i;
            const unsigned side = 32 >> i;
            EXPECT_EQ(side | side << 8 | 16 << 16, Dword(group, entry) & 0xFFFFFF) << "sides and colour count";
            EXPECT_EQ(4u, Word(group, entry + 6)) << "bit count";
            std::vector<unsigned char> image = ResourceBytes(Word(group, entry + 12), 3);
            EXPECT_EQ(side, Dword(image, 4));
            EXPECT_EQ(2 * side, Dword(image, 8));
            EXPECT_EQ(4u, Word(image, 14));
        }
    }
    for (int side : { 16, 32 })
        EXPECT_TRUE(DestroyIcon(static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(101), IMAGE_ICON, side, side, 0))));
}

TEST(Resources, GlyphStripsHaveTheirSizeDepthAndTransparentCorners)
{
    const COLORREF standard[16] = { 0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF };
    struct Case { int id, width, height, bits, cell; };
    for (const Case& c : { Case{ 110, 198, 22, 4, 22 }, Case{ 111, 132, 22, 4, 22 }, Case{ 113, 144, 18, 24, 18 } }) {
        Bitmap strip(c.id);
        const BITMAPINFOHEADER& header = strip.section.dsBmih;
        ASSERT_EQ(c.width, header.biWidth) << c.id;
        ASSERT_EQ(c.height, header.biHeight) << c.id;
        EXPECT_EQ(c.bits, header.biBitCount) << c.id;
        for (int cell = 0; cell < c.width / c.cell; ++cell) {
            const int left = cell * c.cell, right = left + c.cell - 1, bottom = c.cell - 1;
            // The image lists take white as transparent: the corners of every glyph are white,
            // and the glyph itself is not.
            for (int x : { left, right })
                for (int y : { 0, bottom })
                    EXPECT_EQ(0xFFFFFFu, GetPixel(strip.dc, x, y)) << c.id << " glyph " << cell;
            int painted = 0;
            for (int y = 0; y < c.cell; ++y)
                for (int x = left; x <= right; ++x) {
                    const COLORREF colour = GetPixel(strip.dc, x, y);
                    painted += colour != 0xFFFFFF;
                    if (c.bits == 4) {
                        EXPECT_NE(standard + 16, std::find(standard, standard + 16, colour))
                            << c.id << " glyph " << cell << " at " << x << "," << y;
                    }
                }
            EXPECT_GE(painted, c.cell) << c.id << " glyph " << cell;
        }
    }
}

TEST(Resources, TransparentPatternIsFourSquaresOfWhiteAndLightGrey)
{
    Bitmap pattern(114);
    EXPECT_EQ(18, pattern.section.dsBmih.biWidth);
    EXPECT_EQ(18, pattern.section.dsBmih.biHeight);
    EXPECT_EQ(4, pattern.section.dsBmih.biBitCount);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            ASSERT_EQ((x < 9) == (y < 9) ? 0xFFFFFFu : 0xC0C0C0u, GetPixel(pattern.dc, x, y)) << x << "," << y;
}

TEST(Resources, ToolCursorsAre32PixelsOf256ColoursWithTheirHotspots)
{
    struct Case { int id, x, y; };
    for (const Case& c : { Case{ 400, 12, 24 }, Case{ 401, 8, 23 }, Case{ 402, 8, 23 }, Case{ 403, 8, 23 } }) {
        std::vector<unsigned char> group = ResourceBytes(c.id, 12);
        ASSERT_EQ(6u + 14u, group.size()) << c.id;
        EXPECT_EQ(2u, Word(group, 2));
        EXPECT_EQ(8u, Word(group, 6 + 6)) << "bit count of " << c.id;
        std::vector<unsigned char> image = ResourceBytes(Word(group, 6 + 12), 1);
        EXPECT_EQ(32u, Dword(image, 4 + 4)) << c.id;
        EXPECT_EQ(64u, Dword(image, 4 + 8)) << c.id;
        EXPECT_EQ(8u, Word(image, 4 + 14)) << c.id;
        EXPECT_EQ(0u, Dword(image, 4 + 32) % 256) << "a full palette in " << c.id;

        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), MAKEINTRESOURCEA(c.id)), &info)) << c.id;
        OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
        EXPECT_EQ(static_cast<DWORD>(c.x), info.xHotspot) << c.id;
        EXPECT_EQ(static_cast<DWORD>(c.y), info.yHotspot) << c.id;
        // The hotspot is the tool's tip: a painted pixel, not a see-through one.
        MemoryDC dc(nullptr);
        SelectGuard keep(dc, mask);
        EXPECT_EQ(0u, GetPixel(dc, c.x, c.y)) << c.id;
    }
}

// The version block as stored: UTF-16 keys, each followed by its value after padding to 32 bits.
TEST(Resources, VersionBlockIsFrench1_4_2_0)
{
    std::vector<unsigned char> bytes = ResourceBytes(1, 16);
    std::u16string block(bytes.size() / 2, u'\0');
    std::copy(bytes.begin(), bytes.begin() + 2 * block.size(), reinterpret_cast<unsigned char*>(&block[0]));
    auto valueOf = [&block](const std::u16string& key, size_t length) {
        size_t at = block.find(key + u'\0');
        at = at == std::u16string::npos ? at : block.find_first_not_of(u'\0', at + key.size() + 1);
        return at == std::u16string::npos ? std::u16string() : block.substr(at, length);
    };
    // Signature, structure version, then the file version 1.4.2.0 as two 32-bit halves.
    EXPECT_EQ(std::u16string({ 0x04BD, 0xFEEF, 0, 1, 4, 1, 0, 2 }), valueOf(u"VS_VERSION_INFO", 8));
    EXPECT_EQ(std::u16string({ 0x040C, 1252 }), valueOf(u"Translation", 2));
    EXPECT_NE(std::u16string::npos, block.find(u"040C04E4"));
    for (const std::u16string line : { u"FileDescription\nVemiro Editeur", u"FileVersion\n1.4.2.0",
                                       u"OriginalFilename\nVemiro.exe", u"CompanyName\nAteliers Ferrand Logiciels",
                                       u"LegalCopyright\n© 2006 Ateliers Ferrand Logiciels. Tous droits réservés." }) {
        const size_t split = line.find(u'\n');
        const std::u16string value = line.substr(split + 1) + u'\0';
        EXPECT_EQ(value, valueOf(line.substr(0, split), value.size()));
    }
}

TEST(Resources, ManifestAsksForCommonControls6)
{
    std::vector<unsigned char> bytes = ResourceBytes(1, 24);
    std::string manifest(bytes.begin(), bytes.end());
    size_t dependency = manifest.find("<dependency>");
    ASSERT_NE(std::string::npos, dependency);
    for (const char* part : { "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                              "processorArchitecture=\"x86\"", "publicKeyToken=\"6595b64144ccf1df\"" })
        EXPECT_NE(std::string::npos, manifest.find(part, dependency)) << part;
}

}  // namespace
