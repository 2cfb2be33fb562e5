#pragma once
#include <windows.h>

// Palette indices of 1, 4 and 8 bit rows: the leftmost pixel of a byte sits in
// its high bits. pixel is the byte that holds column x.

// The bit of column x in a 1 bit row, the mask's rows included.
inline BYTE MaskBit(int x)
{
    return BYTE(0x80 >> (x % 8));
}

inline DWORD ReadPackedIndex(const BYTE* pixel, int x, int bits)
{
    switch (bits) {
    case 1:  return (*pixel >> (7 - x % 8)) & 1;
    case 4:  return (x % 2 == 0) ? (*pixel >> 4) : (*pixel & 0x0F);
    default: return *pixel;
    }
}

inline void WritePackedIndex(BYTE* pixel, int x, int bits, DWORD index)
{
    switch (bits) {
    case 1:
        *pixel = index ? BYTE(*pixel | MaskBit(x)) : BYTE(*pixel & ~MaskBit(x));
        break;
    case 4:
        if (x % 2 == 0)
            *pixel = BYTE((*pixel & 0x0F) | ((index & 0x0F) << 4));
        else
            *pixel = BYTE((*pixel & 0xF0) | (index & 0x0F));
        break;
    default:
        *pixel = BYTE(index);
        break;
    }
}
