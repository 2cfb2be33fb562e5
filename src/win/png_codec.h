#pragma once
#include <windows.h>
#include <cstddef>
#include <vector>

// PNG images through the system's imaging component. Each call sets up COM
// for itself, on any thread, whether or not the thread already did.

// Rows top first, 4 bytes a pixel in the order B, G, R, A; alpha not premultiplied.
struct BgraPicture
{
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;
};

enum class PngOutcome { Done, NoCodec, Refused, NoMemory };

// Decodes PNG bytes (any colour type) to 32-bit BGRA. Refused: not PNG, damaged (bad CRC, truncated),
// or a side of 0 or above maxSide. NoCodec: the imaging component cannot be created.
PngOutcome DecodePng(const BYTE* bytes, size_t count, int maxSide, BgraPicture& out);

// Encodes 32-bit RGBA PNG.
PngOutcome EncodePng(const BgraPicture& picture, std::vector<BYTE>& out);
