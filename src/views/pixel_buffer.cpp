#include "views/pixel_buffer.h"

PixelBuffer::PixelBuffer(HDC compatibleWith, int width, int height)
    : width_(width), height_(height), dc_(compatibleWith), bitmap_(MakeSection(dc_, width, height, &bits_)),
      keep_(dc_, bitmap_)
{
}

HBITMAP PixelBuffer::MakeSection(HDC dc, int width, int height, DWORD** bits)
{
    *bits = nullptr;
    if (!dc || width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (section)
        *bits = static_cast<DWORD*>(memory);
    return section;
}
