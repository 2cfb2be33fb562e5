#include "views/pixel_buffer.h"

#include "win/dib_section.h"

PixelBuffer::PixelBuffer(HDC compatibleWith, int width, int height)
    : width_(width), height_(height), dc_(compatibleWith), bitmap_(MakeSection(dc_, width, height, &bits_)),
      keep_(dc_, bitmap_)
{
}

HBITMAP PixelBuffer::MakeSection(HDC dc, int width, int height, DWORD** bits)
{
    *bits = nullptr;
    if (!dc)
        return nullptr;
    void* memory = nullptr;
    HBITMAP section = CreateTopDown32(width, height, &memory);
    *bits = static_cast<DWORD*>(memory);
    return section;
}
