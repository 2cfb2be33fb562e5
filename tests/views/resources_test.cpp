// The resources linked into the program, read back through the same Win32 calls
// that the program and the shell use.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

HMODULE Module()
{
    return GetModuleHandleA(nullptr);
}

// Bytes of a resource of this executable; empty when it is missing.
std::vector<unsigned char> ResourceBytes(LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(Module(), name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(Module(), found);
    const unsigned char* data = static_cast<const unsigned char*>(LockResource(loaded));
    if (!data)
        return {};
    return std::vector<unsigned char>(data, data + SizeofResource(Module(), found));
}

unsigned Word(const std::vector<unsigned char>& bytes, size_t at)
{
    return at + 2 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0xFFFFFFFFu;
}

unsigned Dword(const std::vector<unsigned char>& bytes, size_t at)
{
    return at + 4 <= bytes.size() ? Word(bytes, at) | Word(bytes, at + 2) << 16 : 0xFFFFFFFFu;
}

// A packed DIB as stored in a bitmap, icon or cursor resource.
struct Dib
{
    std::vector<unsigned char> bytes;
    int width() const { return static_cast<int>(Dword(bytes, 4)); }
    int height() const { return static_cast<int>(Dword(bytes, 8)); }
    int bits() const { return static_cast<int>(Word(bytes, 14)); }
    int paletteCount() const
    {
        int used = static_cast<int>(Dword(bytes, 32));
        return bits() <= 8 ? (used ? used : 1 << bits()) : 0;
    }
    size_t colourOffset() const { return Dword(bytes, 0) + 4 * paletteCount(); }
    int stride(int bitCount) const { return (width() * bitCount + 31) / 32 * 4; }

    // Colour of a pixel of a bottom-up DIB of rows rows, as 0xRRGGBB.
    unsigned Pixel(int x, int y, int rows) const
    {
        size_t row = colourOffset() + static_cast<size_t>(rows - 1 - y) * stride(bits());
        if (bits() == 24) {
            size_t at = row + 3 * x;
            return at + 3 <= bytes.size() ? bytes[at + 2] << 16 | bytes[at + 1] << 8 | bytes[at] : 0xFFFFFFFFu;
        }
        unsigned index = 0;
        if (bits() == 4)
            index = row + x / 2 < bytes.size() ? (bytes[row + x / 2] >> (x % 2 ? 0 : 4)) & 15 : 0xFFFF;
        else if (bits() == 8)
            index = row + x < bytes.size() ? bytes[row + x] : 0xFFFF;
        if (index >= static_cast<unsigned>(paletteCount()))
            return 0xFFFFFFFFu;
        size_t entry = Dword(bytes, 0) + 4 * index;
        return bytes[entry + 2] << 16 | bytes[entry + 1] << 8 | bytes[entry];
    }

    // Bit of the AND mask that follows the colour part of an icon or cursor image.
    bool MaskBit(int x, int y) const
    {
        int side = width();
        size_t mask = colourOffset() + static_cast<size_t>(side) * stride(bits());
        size_t at = mask + static_cast<size_t>(side - 1 - y) * stride(1) + x / 8;
        return at < bytes.size() && (bytes[at] >> (7 - x % 8) & 1);
    }
};

std::string Cp1252(const wchar_t* text)
{
    char buffer[512] = {};
    WideCharToMultiByte(1252, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// ---- Menu ----

struct MenuLine
{
    int depth;
    std::string text;     // "-" for a separator
    unsigned id;          // 0 for a separator, 0xFFFFFFFF for a pop-up
    bool greyed;
    bool operator==(const MenuLine& o) const
    {
        return depth == o.depth && text == o.text && id == o.id && greyed == o.greyed;
    }
};

std::ostream& operator<<(std::ostream& out, const MenuLine& line)
{
    return out << line.depth << " '" << line.text << "' " << line.id << (line.greyed ? " greyed" : "");
}

void ReadMenu(HMENU menu, int depth, std::vector<MenuLine>& lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        unsigned id = sub ? 0xFFFFFFFFu : GetMenuItemID(menu, i);
        if (!sub && (state & MF_SEPARATOR)) {  // a pop-up's state holds its item count
            // A separator's greyed state means nothing (Wine reports it set).
            lines.push_back({depth, "-", id, false});
            continue;
        }
        lines.push_back({depth, text, id, (state & MF_GRAYED) != 0});
        if (sub)
            ReadMenu(sub, depth + 1, lines);
    }
}

const unsigned Popup = 0xFFFFFFFFu;

TEST(Resources, MenuHasEveryItemWithItsTextIdAndInitialState)
{
    const std::vector<MenuLine> expected = {
        {0, " Fichier ", Popup, false},
        {1, "Nouveau", 40001, false}, {1, "Ouvrir", 40002, false},
        {1, "Enregistrer", 40003, true}, {1, "Enregistrer sous", 40004, true}, {1, "-", 0, false},
        {1, "Importer un bitmap", 40005, false}, {1, "-", 0, false},
        {1, "Fermer", 40006, true}, {1, "-", 0, false}, {1, "Quitter", 40007, false},
        {0, " Edition ", Popup, false},
        {1, "Annuler", 40010, true}, {1, "Répéter", 40011, true}, {1, "-", 0, false},
        {1, "Couper", 40012, true}, {1, "Copier", 40013, true}, {1, "Coller", 40014, true},
        {1, "-", 0, false}, {1, "Sélectionner tout", 40015, true},
        {0, " Outils ", Popup, true},
        {1, "Crayon", 40020, false}, {1, "Remplissage", 40021, false},
        {1, "Prelèvement", 40022, false}, {1, "Gommage", 40023, false},
        {1, "Sélection", 40028, false}, {1, "-", 0, false},
        {1, "Ligne", 40024, false}, {1, "Rectangle", 40025, false}, {1, "Ellipse", 40026, false},
        {1, "-", 0, false}, {1, "Récupérer tête de curseur", 40027, false}, {1, "-", 0, false},
        {1, "Décaler vers la gauche", 40040, false}, {1, "Décaler vers la droite", 40042, false},
        {1, "Décaler vers le haut", 40041, false}, {1, "Décaler vers le bas", 40044, false},
        {1, "-", 0, false}, {1, "Miroir horizontal", 40045, false},
        {1, "Miroir vertical", 40043, false},
        {0, " Image ", Popup, true},
        {1, "Ajouter une image", Popup, false},
        {2, "Image vierge", 40060, false}, {2, "Image bitmap", 40061, false},
        {1, "Supprimer image courante", 40051, true},
        {1, "Restaurer l'image supprimée", 40052, true}, {1, "-", 0, false},
        {1, "Effacer image", 40053, false},
        {0, " Aide ", Popup, false},
        {1, "Rubrique d'aide", 40070, false}, {1, "A propos de...", 40071, false},
    };
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(100));
    ASSERT_NE(nullptr, menu);
    std::vector<MenuLine> lines;
    ReadMenu(menu, 0, lines);
    DestroyMenu(menu);
    ASSERT_EQ(expected.size(), lines.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], lines[i]) << "line " << i;
}

TEST(Resources, MenuTextsCarryNoMnemonicsAndNoChecks)
{
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(100));
    ASSERT_NE(nullptr, menu);
    std::vector<MenuLine> lines;
    ReadMenu(menu, 0, lines);
    for (const MenuLine& line : lines)
        EXPECT_EQ(std::string::npos, line.text.find('&')) << line;
    for (int popup = 0; popup < GetMenuItemCount(menu); ++popup) {
        HMENU sub = GetSubMenu(menu, popup);
        for (int i = 0; i < GetMenuItemCount(sub); ++i)
            EXPECT_EQ(0u, GetMenuState(sub, i, MF_BYPOSITION) & MF_CHECKED) << popup << "/" << i;
    }
    DestroyMenu(menu);
}

// ---- Dialog ----

struct DialogItem
{
    std::string className;
    unsigned id;
    std::string text;
    unsigned style;
    int x, y, cx, cy;
    bool operator==(const DialogItem& o) const
    {
        return className == o.className && id == o.id && text == o.text && style == o.style &&
               x == o.x && y == o.y && cx == o.cx && cy == o.cy;
    }
};

std::ostream& operator<<(std::ostream& out, const DialogItem& item)
{
    return out << item.className << " " << item.id << " '" << item.text << "' style 0x" << std::hex
               << item.style << std::dec << " " << item.x << "," << item.y << "," << item.cx << ","
               << item.cy;
}

// Reads a name-or-ordinal field; ordinals come back as "#n".
std::string NameOrOrdinal(const std::vector<unsigned char>& bytes, size_t& at)
{
    if (Word(bytes, at) == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(Word(bytes, at + 2));
        at += 4;
        return ordinal;
    }
    std::wstring text;
    for (; at + 2 <= bytes.size() && Word(bytes, at) != 0; at += 2)
        text += static_cast<wchar_t>(Word(bytes, at));
    at += 2;
    return Cp1252(text.c_str());
}

std::string ClassName(const std::string& field)
{
    static const struct { const char* ordinal; const char* name; } classes[] = {
        {"#128", "button"}, {"#129", "edit"}, {"#130", "static"}, {"#133", "combobox"}};
    for (const auto& c : classes)
        if (field == c.ordinal)
            return c.name;
    std::string lower = field;
    for (char& ch : lower)
        ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    return lower;
}

TEST(Resources, NewImageDialogTemplateIsExact)
{
    std::vector<unsigned char> t = ResourceBytes(MAKEINTRESOURCEA(1000), MAKEINTRESOURCEA(5));
    ASSERT_GE(t.size(), 18u);
    ASSERT_NE(0xFFFF0001u, Dword(t, 0)) << "an extended template";
    EXPECT_EQ(static_cast<unsigned>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                                    DS_SETFONT),
              Dword(t, 0));
    EXPECT_EQ(0u, Dword(t, 4));
    unsigned count = Word(t, 8);
    EXPECT_EQ(0u, Word(t, 10));
    EXPECT_EQ(0u, Word(t, 12));
    EXPECT_EQ(220u, Word(t, 14));
    EXPECT_EQ(105u, Word(t, 16));
    size_t at = 18;
    EXPECT_EQ("", NameOrOrdinal(t, at)) << "menu";
    EXPECT_EQ("", NameOrOrdinal(t, at)) << "class";
    EXPECT_EQ("Nouvelle icône ou curseur", NameOrOrdinal(t, at));
    EXPECT_EQ(8u, Word(t, at));
    at += 2;
    EXPECT_EQ("MS Sans Serif", NameOrOrdinal(t, at));

    const unsigned child = WS_CHILD | WS_VISIBLE;
    const std::vector<DialogItem> expected = {
        {"static", 0xFFFF, "#101", child | SS_ICON, 20, 25, 0, 0},
        {"static", 0xFFFF, "Taille de l'icône :", child | WS_GROUP, 60, 25, 60, 8},
        {"combobox", 1001, "", child | CBS_DROPDOWNLIST, 130, 23, 70, 70},
        {"static", 0xFFFF, "Nombre de bits par pixel :", child | WS_GROUP, 60, 45, 90, 8},
        {"combobox", 1002, "", child | CBS_DROPDOWNLIST, 160, 43, 40, 70},
        {"button", 0xFFFF, "", child | BS_GROUPBOX, 10, 10, 200, 65},
        {"button", IDOK, "OK", child | WS_TABSTOP, 70, 85, 60, 14},
        {"button", IDCANCEL, "Annuler", child | WS_TABSTOP, 140, 85, 60, 14},
    };
    ASSERT_EQ(expected.size(), count);
    for (const DialogItem& want : expected) {
        at = (at + 3) & ~static_cast<size_t>(3);
        ASSERT_LE(at + 18, t.size());
        DialogItem item;
        item.style = Dword(t, at);
        EXPECT_EQ(0u, Dword(t, at + 4)) << want;
        item.x = static_cast<short>(Word(t, at + 8));
        item.y = static_cast<short>(Word(t, at + 10));
        item.cx = static_cast<short>(Word(t, at + 12));
        item.cy = static_cast<short>(Word(t, at + 14));
        item.id = Word(t, at + 16);
        at += 18;
        item.className = ClassName(NameOrOrdinal(t, at));
        item.text = NameOrOrdinal(t, at);
        at += 2 + Word(t, at);
        EXPECT_EQ(want, item);
    }
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST(Resources, NewImageDialogCreatesItsControls)
{
    HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(1000), nullptr, QuietDialog, 0);
    ASSERT_NE(nullptr, dialog);
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ("Nouvelle icône ou curseur", text);

    // The icon's window text is not a text (the template names icon 101): not compared.
    struct Control { const char* className; int id; const char* text; };
    const Control expected[] = {
        {"Static", 0xFFFF, nullptr}, {"Static", 0xFFFF, "Taille de l'icône :"},
        {"ComboBox", 1001, ""}, {"Static", 0xFFFF, "Nombre de bits par pixel :"},
        {"ComboBox", 1002, ""}, {"Button", 0xFFFF, ""},
        {"Button", IDOK, "OK"}, {"Button", IDCANCEL, "Annuler"},
    };
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const Control& want : expected) {
        ASSERT_NE(nullptr, control) << want.text;
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(0, lstrcmpiA(want.className, className)) << className;
        EXPECT_EQ(want.id, GetDlgCtrlID(control) & 0xFFFF) << want.text;
        GetWindowTextA(control, text, sizeof text);
        if (want.text) {
            EXPECT_STREQ(want.text, text);
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control) << "more controls than expected";

    HWND icon = GetWindow(dialog, GW_CHILD);
    EXPECT_NE(0, SendMessageA(icon, STM_GETICON, 0, 0)) << "icon 101 in the dialog";
    DestroyWindow(dialog);
}

// ---- Icons ----

TEST(Resources, ProgramIconsHold32And16PixelImagesOf16Colours)
{
    const LPCSTR groups[] = {MAKEINTRESOURCEA(101), "A"};
    for (LPCSTR name : groups) {
        std::vector<unsigned char> group = ResourceBytes(name, MAKEINTRESOURCEA(14));
        ASSERT_GE(group.size(), 6u) << (IS_INTRESOURCE(name) ? "101" : name);
        EXPECT_EQ(1u, Word(group, 2));
        ASSERT_EQ(2u, Word(group, 4));
        std::vector<int> sides;
        for (size_t i = 0; i < 2; ++i) {
            size_t entry = 6 + 14 * i;
            int side = group[entry];
            sides.push_back(side);
            EXPECT_EQ(side, group[entry + 1]);
            EXPECT_EQ(16, group[entry + 2]) << "colour count";
            EXPECT_EQ(4u, Word(group, entry + 6)) << "bit count";
            Dib image{ResourceBytes(MAKEINTRESOURCEA(Word(group, entry + 12)), MAKEINTRESOURCEA(3))};
            EXPECT_EQ(side, image.width());
            EXPECT_EQ(2 * side, image.height());
            EXPECT_EQ(4, image.bits());
        }
        EXPECT_EQ((std::vector<int>{32, 16}), sides);
    }
    for (int side : {16, 32}) {
        HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(101), IMAGE_ICON,
                                                   side, side, 0));
        ASSERT_NE(nullptr, icon) << side;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(side, colour.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// ---- Bitmaps ----

const unsigned StandardColours[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TEST(Resources, GlyphStripsHaveTheirSizeDepthAndTransparentCorners)
{
    struct Case { int id, width, height, bits, cell; };
    for (const Case& c : {Case{110, 198, 22, 4, 22}, Case{111, 132, 22, 4, 22},
                          Case{113, 144, 18, 24, 18}}) {
        Dib dib{ResourceBytes(MAKEINTRESOURCEA(c.id), MAKEINTRESOURCEA(2))};
        ASSERT_GE(dib.bytes.size(), 40u) << c.id;
        EXPECT_EQ(c.width, dib.width()) << c.id;
        EXPECT_EQ(c.height, dib.height()) << c.id;
        ASSERT_EQ(c.bits, dib.bits()) << c.id;
        ASSERT_GE(dib.bytes.size(), dib.colourOffset() + c.height * dib.stride(c.bits)) << c.id;
        for (int cell = 0; cell < c.width / c.cell; ++cell) {
            int left = cell * c.cell, right = left + c.cell - 1, bottom = c.cell - 1;
            // The image lists take white as transparent: the corners of every glyph are white,
            // and the glyph itself is not.
            for (int x : {left, right})
                for (int y : {0, bottom})
                    EXPECT_EQ(0xFFFFFFu, dib.Pixel(x, y, c.height)) << c.id << " glyph " << cell;
            int painted = 0;
            for (int y = 0; y < c.cell; ++y)
                for (int x = left; x <= right; ++x) {
                    unsigned colour = dib.Pixel(x, y, c.height);
                    painted += colour != 0xFFFFFF;
                    if (c.bits == 4) {
                        bool standard = false;
                        for (unsigned s : StandardColours)
                            standard |= colour == s;
                        EXPECT_TRUE(standard) << c.id << " glyph " << cell << " at " << x << "," << y;
                    }
                }
            EXPECT_GE(painted, c.cell) << c.id << " glyph " << cell;
        }
        HBITMAP loaded = LoadBitmapA(Module(), MAKEINTRESOURCEA(c.id));
        ASSERT_NE(nullptr, loaded) << c.id;
        BITMAP info = {};
        GetObjectA(loaded, sizeof info, &info);
        EXPECT_EQ(c.width, info.bmWidth);
        EXPECT_EQ(c.height, info.bmHeight);
        DeleteObject(loaded);
    }
}

TEST(Resources, TransparentPatternIsFourSquaresOfWhiteAndLightGrey)
{
    Dib dib{ResourceBytes(MAKEINTRESOURCEA(114), MAKEINTRESOURCEA(2))};
    ASSERT_GE(dib.bytes.size(), 40u);
    EXPECT_EQ(18, dib.width());
    EXPECT_EQ(18, dib.height());
    ASSERT_EQ(4, dib.bits());
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            unsigned want = (x < 9) == (y < 9) ? 0xFFFFFFu : 0xC0C0C0u;
            ASSERT_EQ(want, dib.Pixel(x, y, 18)) << x << "," << y;
        }
}

// ---- Cursors ----

TEST(Resources, ToolCursorsAre32PixelsOf256ColoursWithTheirHotspots)
{
    struct Case { int id, x, y; };
    for (const Case& c : {Case{400, 12, 24}, Case{401, 8, 23}, Case{402, 8, 23}, Case{403, 8, 23}}) {
        HCURSOR cursor = LoadCursorA(Module(), MAKEINTRESOURCEA(c.id));
        ASSERT_NE(nullptr, cursor) << c.id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << c.id;
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(static_cast<DWORD>(c.x), info.xHotspot) << c.id;
        EXPECT_EQ(static_cast<DWORD>(c.y), info.yHotspot) << c.id;
        BITMAP mask = {};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(32, mask.bmWidth) << c.id;
        EXPECT_EQ(info.hbmColor ? 32 : 64, mask.bmHeight) << c.id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);

        std::vector<unsigned char> group = ResourceBytes(MAKEINTRESOURCEA(c.id), MAKEINTRESOURCEA(12));
        ASSERT_EQ(6u + 14u, group.size()) << c.id;
        EXPECT_EQ(2u, Word(group, 2));
        EXPECT_EQ(8u, Word(group, 6 + 6)) << "bit count of " << c.id;
        std::vector<unsigned char> image =
            ResourceBytes(MAKEINTRESOURCEA(Word(group, 6 + 12)), MAKEINTRESOURCEA(1));
        ASSERT_GT(image.size(), 4u);
        EXPECT_EQ(static_cast<unsigned>(c.x), Word(image, 0));
        EXPECT_EQ(static_cast<unsigned>(c.y), Word(image, 2));
        Dib dib{std::vector<unsigned char>(image.begin() + 4, image.end())};
        EXPECT_EQ(32, dib.width());
        EXPECT_EQ(64, dib.height());
        EXPECT_EQ(8, dib.bits());
        EXPECT_EQ(256, dib.paletteCount());
        // The hotspot is the tool's tip: a painted pixel, not a see-through one.
        EXPECT_FALSE(dib.MaskBit(c.x, c.y)) << c.id;
    }
}

// ---- Version and manifest ----

using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

TEST(Resources, VersionBlockIsFrench1_4_2_0)
{
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(nullptr, version);
    auto getSize = reinterpret_cast<SizeFunction>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto getInfo = reinterpret_cast<InfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    ASSERT_TRUE(getSize && getInfo && query);

    char path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, path, MAX_PATH));
    DWORD ignored = 0;
    DWORD size = getSize(path, &ignored);
    ASSERT_NE(0u, size);
    std::vector<char> block(size);
    ASSERT_TRUE(getInfo(path, 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), "\\", &value, &length));
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(4, 1)), fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 2)), fixed->dwFileVersionLS);

    ASSERT_TRUE(query(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x040C, static_cast<const WORD*>(value)[0]);
    EXPECT_EQ(1252, static_cast<const WORD*>(value)[1]);

    struct Entry { const char* name; const char* text; };
    for (const Entry& e : {Entry{"FileDescription", "Vemiro Editeur"},
                           Entry{"FileVersion", "1.4.2.0"},
                           Entry{"OriginalFilename", "Vemiro.exe"},
                           Entry{"CompanyName", "Vemiro"},
                           Entry{"LegalCopyright", "© 2006 Vemiro. Tous droits réservés."}}) {
        std::string key = std::string("\\StringFileInfo\\040C04E4\\") + e.name;
        ASSERT_TRUE(query(block.data(), key.c_str(), &value, &length)) << e.name;
        EXPECT_STREQ(e.text, static_cast<const char*>(value)) << e.name;
    }
    FreeLibrary(version);
}

TEST(Resources, ManifestAsksForCommonControls6)
{
    std::vector<unsigned char> bytes = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(bytes.empty());
    std::string manifest(bytes.begin(), bytes.end());
    size_t dependency = manifest.find("<dependency>");
    ASSERT_NE(std::string::npos, dependency);
    std::string rest = manifest.substr(dependency);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "processorArchitecture=\"x86\"", "publicKeyToken=\"6595b64144ccf1df\""})
        EXPECT_NE(std::string::npos, rest.find(part)) << part;
}

}  // namespace
