#pragma once
#include <windows.h>
#include <cstddef>

// The size a PNG's header chunk gives.
struct PngSize
{
    DWORD width;
    DWORD height;
};

// Whether bytes hold a whole PNG stream: the signature, a header chunk first,
// every chunk inside the bytes with its CRC right, up to an end chunk (bytes
// after it are ignored). size receives the header's width and height.
// Decoders differ in what damage they let pass; this check does not.
bool IsWholePng(const BYTE* bytes, size_t count, PngSize& size);

// Whether the 8 bytes at bytes open a PNG stream.
bool StartsWithPngSignature(const void* bytes);
