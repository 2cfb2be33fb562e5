#include "win/png_chunks.h"

#include <string.h>

namespace {

DWORD BigEndian(const BYTE* at)
{
    return DWORD(at[0]) << 24 | DWORD(at[1]) << 16 | DWORD(at[2]) << 8 | at[3];
}

class Crc32
{
public:
    Crc32()
    {
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table_[n] = c;
        }
    }
    DWORD Of(const BYTE* bytes, size_t count) const
    {
        DWORD c = 0xFFFFFFFFu;
        for (size_t i = 0; i < count; ++i)
            c = table_[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    }

private:
    DWORD table_[256];
};

const size_t kSignatureBytes = 8;
const size_t kChunkFrameBytes = 12;  // length, type, CRC

} // namespace

bool StartsWithPngSignature(const void* bytes)
{
    static const BYTE kPngSignature[kSignatureBytes] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return memcmp(bytes, kPngSignature, sizeof(kPngSignature)) == 0;
}

bool IsWholePng(const BYTE* bytes, size_t count, PngSize& size)
{
    static const Crc32 crc;
    if (!bytes || count < kSignatureBytes || !StartsWithPngSignature(bytes))
        return false;
    size_t at = kSignatureBytes;
    for (bool first = true;; first = false) {
        if (count - at < kChunkFrameBytes)
            return false;
        const DWORD length = BigEndian(bytes + at);
        // The format bounds a chunk to 2^31 - 1 bytes.
        if (length > 0x7FFFFFFFu || count - at - kChunkFrameBytes < length)
            return false;
        const BYTE* type = bytes + at + 4;
        if (crc.Of(type, 4 + size_t(length)) != BigEndian(type + 4 + length))
            return false;
        const bool header = memcmp(type, "IHDR", 4) == 0;
        if (first != header || (header && length != 13))
            return false;
        if (header) {
            size.width = BigEndian(type + 4);
            size.height = BigEndian(type + 8);
        }
        if (memcmp(type, "IEND", 4) == 0)
            return true;
        at += kChunkFrameBytes + length;
    }
}
