#include "model/image_format.h"

#include "model/image_state.h"

namespace {

// The sixteen colours of the 4-bit palette, also the last row of the 8-bit one.
const COLORREF kSixteenColours[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// Roles of red, green and blue in the ramp rows 1-13 of the 8-bit palette.
enum Role { F, H, Z };
const Role kRampRoles[13][3] = {
    { F, Z, Z }, { F, H, Z }, { F, F, Z }, { H, F, Z }, { Z, F, Z }, { Z, F, H }, { Z, F, F },
    { Z, H, F }, { Z, Z, F }, { H, Z, F }, { F, Z, F }, { F, Z, H }, { F, H, H },
};

BYTE RampLevel(Role role, int column)
{
    if (column < 8) {
        switch (role) {
        case F: return static_cast<BYTE>(32 * (column + 1) - 1);
        case H: return static_cast<BYTE>(16 * (column + 1) - 1);
        default: return 0;
        }
    }
    int k = column - 8;
    switch (role) {
    case F: return 0xFF;
    case H: return static_cast<BYTE>(0x8F + 16 * k);
    default: return static_cast<BYTE>(0x0F + 32 * k);
    }
}

} // namespace

int DefaultPalette(int bitCount, RGBQUAD* out)
{
    if (!IsAcceptedBitCount(bitCount) || !out)
        return 0;
    if (bitCount == 1) {
        out[0] = EntryOf(0x000000);
        out[1] = EntryOf(0xFFFFFF);
        return 2;
    }
    if (bitCount == 4) {
        for (int i = 0; i < 16; ++i)
            out[i] = EntryOf(kSixteenColours[i]);
        return 16;
    }
    for (int column = 0; column < 16; ++column) {
        BYTE grey = static_cast<BYTE>(column == 0 ? 0 : 16 * column - 1);
        out[column] = EntryOf(RGB(grey, grey, grey));
    }
    for (int row = 1; row <= 13; ++row) {
        const Role* roles = kRampRoles[row - 1];
        for (int column = 0; column < 16; ++column)
            out[16 * row + column] = EntryOf(RGB(RampLevel(roles[0], column),
                                                 RampLevel(roles[1], column),
                                                 RampLevel(roles[2], column)));
    }
    for (int column = 0; column < 16; ++column) {
        out[16 * 14 + column] = EntryOf(0x000000);
        out[16 * 15 + column] = EntryOf(kSixteenColours[column]);
    }
    return 256;
}
