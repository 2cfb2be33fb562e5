#include "fuzz_inputs.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string.h>

namespace {

DWORD Get(const std::vector<BYTE>& b, size_t at, int bytes)
{
    DWORD v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
    return v;
}

void Put(std::vector<BYTE>& b, size_t at, DWORD v, int bytes)
{
    for (int i = 0; i < bytes && at + i < b.size(); ++i)
        b[at + i] = BYTE(v >> (8 * i));
}

// A field is stored as offset * 8 + width in bytes.
void AddField(FuzzBase& base, size_t at, int bytes)
{
    if (at + bytes <= base.bytes.size())
        base.fields.push_back(at * 8 + bytes);
}

// The fields of a bitmap header, or of a PNG's header chunk, at at.
void AddRecordFields(FuzzBase& base, size_t at)
{
    const size_t sizes[][2] = {{0, 4}, {4, 4}, {8, 4}, {12, 2}, {14, 2}, {16, 4}, {20, 4}, {32, 4}, {40, 4}};
    for (const auto& field : sizes)
        AddField(base, at + field[0], int(field[1]));
}

void AddIconFields(FuzzBase& base)
{
    AddField(base, 4, 2);
    const DWORD count = Get(base.bytes, 4, 2);
    for (DWORD i = 0; i < count && 6 + 16 * (i + 1) <= base.bytes.size(); ++i) {
        const size_t entry = 6 + 16 * size_t(i);
        for (size_t at : {entry, entry + 1, entry + 2})
            AddField(base, at, 1);
        AddField(base, entry + 4, 2);
        AddField(base, entry + 6, 2);
        AddField(base, entry + 8, 4);
        AddField(base, entry + 12, 4);
        AddRecordFields(base, Get(base.bytes, entry + 12, 4));
    }
}

// The first bitmap record of an icon file as a bitmap of its own: the colour
// rows under a header of the image's true height, the mask left as trailing bytes.
bool BitmapOfFirstRecord(const std::vector<BYTE>& icon, std::vector<BYTE>& dib)
{
    const DWORD count = Get(icon, 4, 2);
    for (DWORD i = 0; i < count && 6 + 16 * (i + 1) <= icon.size(); ++i) {
        const DWORD bytes = Get(icon, 6 + 16 * i + 8, 4), offset = Get(icon, 6 + 16 * i + 12, 4);
        if (offset >= icon.size() || bytes > icon.size() - offset || bytes < 40 || Get(icon, offset, 4) != 40)
            continue;
        dib.assign(icon.begin() + offset, icon.begin() + offset + bytes);
        Put(dib, 8, Get(dib, 4, 4), 4);
        return true;
    }
    return false;
}

std::vector<BYTE> FileOfDib(const std::vector<BYTE>& dib)
{
    const DWORD bits = Get(dib, 14, 2), used = Get(dib, 32, 4);
    const DWORD table = bits <= 8 ? 4 * (used ? used : 1u << bits) : Get(dib, 16, 4) == BI_BITFIELDS ? 12 : 0;
    std::vector<BYTE> file(14 + dib.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    std::copy(dib.begin(), dib.end(), file.begin() + 14);
    Put(file, 2, DWORD(file.size()), 4);
    Put(file, 10, 14 + 40 + table, 4);
    return file;
}

// splitmix64: every mutant's draws come from its own number alone.
struct Draws
{
    unsigned long long state;
    unsigned long long Next()
    {
        unsigned long long z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? size_t(Next() % n) : 0; }
};

void FlipBits(std::vector<BYTE>& b, Draws& draws)
{
    for (size_t n = 1 + draws.Below(8); n > 0 && !b.empty(); --n)
        b[draws.Below(b.size())] ^= BYTE(1u << draws.Below(8));
}

void WriteRun(std::vector<BYTE>& b, Draws& draws)
{
    static const BYTE kValues[] = {0x00, 0xFF, 0x80, 0x7F};
    if (b.empty())
        return;
    const size_t at = draws.Below(b.size()), length = 1 + draws.Below(64);
    const BYTE value = draws.Below(3) ? kValues[draws.Below(4)] : BYTE(draws.Next());
    for (size_t i = at; i < b.size() && i < at + length; ++i)
        b[i] = value;
}

void Truncate(std::vector<BYTE>& b, Draws& draws)
{
    b.resize(draws.Below(b.size() + 1));
}

void PushField(std::vector<BYTE>& b, const FuzzBase& base, Draws& draws)
{
    if (base.fields.empty())
        return FlipBits(b, draws);
    const size_t field = base.fields[draws.Below(base.fields.size())];
    const size_t at = field / 8;
    const int width = int(field % 8);
    const DWORD old = Get(b, at, width), size = DWORD(b.size());
    const DWORD values[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF,
                            0x80000000u, 0xFFFFFFFFu, size, size - 1, size + 1, old + 1, old - 1, old * 2, 128, 129};
    Put(b, at, values[draws.Below(sizeof values / sizeof values[0])], width);
}

DWORD BigEndian(const std::vector<BYTE>& b, size_t at)
{
    return DWORD(b[at]) << 24 | DWORD(b[at + 1]) << 16 | DWORD(b[at + 2]) << 8 | b[at + 3];
}

// Mutants of PNG records mostly fail their chunk CRCs and go no further than
// that check: some have every CRC made right again, so that the decoder
// itself meets the damage.
void RemakePngCrcs(std::vector<BYTE>& b)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const std::array<DWORD, 256> table = [] {
        std::array<DWORD, 256> t;
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    for (size_t start = 0; start + 8 <= b.size(); ++start) {
        if (memcmp(&b[start], kSignature, 8) != 0)
            continue;
        for (size_t at = start + 8; at + 12 <= b.size();) {
            const DWORD length = BigEndian(b, at);
            if (length > b.size() - at - 12)
                break;
            DWORD c = 0xFFFFFFFFu;
            for (size_t i = at + 4; i < at + 8 + length; ++i)
                c = table[(c ^ b[i]) & 0xFF] ^ (c >> 8);
            c ^= 0xFFFFFFFFu;
            for (int i = 0; i < 4; ++i)
                b[at + 8 + length + i] = BYTE(c >> (24 - 8 * i));
            at += 12 + size_t(length);
        }
    }
}

} // namespace

bool LoadFuzzBases(const std::string& folder, std::vector<FuzzBase>& bases)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found) != 0) {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "README.md")
            continue;
        std::ifstream in(folder + "\\" + name, std::ios::binary);
        FuzzBase icon{name, InputKind::IconFile,
                      std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), {}};
        AddIconFields(icon);
        std::vector<BYTE> dib;
        const bool hasBitmap = BitmapOfFirstRecord(icon.bytes, dib);
        bases.push_back(icon);
        if (!hasBitmap)
            continue;
        FuzzBase bitmap{name + " as bitmap", InputKind::BitmapFile, FileOfDib(dib), {}};
        AddField(bitmap, 2, 4);
        AddField(bitmap, 10, 4);
        AddRecordFields(bitmap, 14);
        bases.push_back(bitmap);
        FuzzBase packed{name + " as DIB", InputKind::PackedDib, dib, {}};
        AddRecordFields(packed, 0);
        bases.push_back(packed);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return !bases.empty();
}

Mutant MakeMutant(const std::vector<FuzzBase>& bases, unsigned long long seed, unsigned long long number)
{
    Draws draws{seed * 0x100000001B3ull ^ number};
    const FuzzBase& base = bases[size_t(number % bases.size())];
    Mutant mutant{&base, base.bytes, nullptr};
    static const char* const kHow[] = {"bit flips", "byte run", "truncation", "field at a bound", "field and flips",
                                       "flips, PNG CRCs remade", "field, PNG CRCs remade"};
    const size_t how = draws.Below(7);
    mutant.how = kHow[how];
    switch (how) {
    case 0: FlipBits(mutant.bytes, draws); break;
    case 1: WriteRun(mutant.bytes, draws); break;
    case 2: Truncate(mutant.bytes, draws); break;
    case 3: PushField(mutant.bytes, base, draws); break;
    case 4:
        PushField(mutant.bytes, base, draws);
        FlipBits(mutant.bytes, draws);
        break;
    case 5:
        FlipBits(mutant.bytes, draws);
        RemakePngCrcs(mutant.bytes);
        break;
    default:
        PushField(mutant.bytes, base, draws);
        RemakePngCrcs(mutant.bytes);
        break;
    }
    return mutant;
}
