// Building every Windows icon size from one 256 px image, timed, and the built
// pictures written out for scripts/bench.sh to compare with a reference
// resampler.
#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/icon_document.h"
#include "model/bgra_pixels.h"

namespace {

const int kSource = 256;

double Now()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

// Coverage of one sample by a rounded square with a white ring inside it.
void Sample(double x, double y, double* bgra)
{
    const double half = 108, corner = 40, c = kSource / 2.0;
    const double dx = std::fabs(x - c) - (half - corner), dy = std::fabs(y - c) - (half - corner);
    const double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0)) + std::min(std::max(dx, dy), 0.0);
    if (outside > corner)
        return;
    const double ring = std::fabs(std::hypot(x - c, y - c) - 56);
    const bool white = ring < 9;
    bgra[0] += white ? 255 : 40 + 180 * y / kSource;
    bgra[1] += white ? 255 : 200 - 150 * x / kSource;
    bgra[2] += white ? 255 : 60 + 190 * (x + y) / (2 * kSource);
    bgra[3] += 255;
}

// A logo as people bring them: colours over a ramp, a thin white ring and
// soft edges (4 x 4 samples a pixel) on transparency; straight alpha.
std::vector<BYTE> Logo()
{
    std::vector<BYTE> bgra(size_t(kSource) * kSource * 4);
    for (int y = 0; y < kSource; ++y)
        for (int x = 0; x < kSource; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (int s = 0; s < 16; ++s)
                Sample(x + (s % 4 + 0.5) / 4, y + (s / 4 + 0.5) / 4, sum);
            BYTE* pixel = &bgra[(size_t(y) * kSource + x) * 4];
            pixel[3] = BYTE(sum[3] / 16 + 0.5);
            for (int c = 0; c < 3 && sum[3] > 0; ++c)
                pixel[c] = BYTE(sum[c] * 255 / sum[3] + 0.5);
        }
    return bgra;
}

// A 32-bit bitmap file of the picture, as the import reads it.
std::vector<BYTE> BitmapFile(const std::vector<BYTE>& bgra)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = info.biHeight = kSource;
    info.biPlanes = 1;
    info.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = DWORD(file.bfOffBits + bgra.size());
    std::vector<BYTE> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    const size_t row = size_t(kSource) * 4;
    for (int y = 0; y < kSource; ++y)
        std::memcpy(bytes.data() + file.bfOffBits + row * (kSource - 1 - y), &bgra[row * y], row);
    return bytes;
}

// R, G, B, A bytes, rows top first, as the comparison reads them.
void WriteRgba(const std::string& path, const std::vector<BYTE>& bgra)
{
    std::vector<BYTE> rgba(bgra);
    for (size_t i = 0; i < rgba.size(); i += 4)
        std::swap(rgba[i], rgba[i + 2]);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, rgba.data(), DWORD(rgba.size()), &written, nullptr);
        CloseHandle(file);
    }
    if (written != rgba.size())
        std::printf("could not write %s\n", path.c_str());
}

}  // namespace

void RunSizeBenchmarks(const char* folder)
{
    const std::vector<BYTE> logo = Logo(), file = BitmapFile(logo);
    const int rounds = 20;
    std::vector<double> times;
    IconDocument document;
    int built = 0;
    for (int i = 0; i < rounds; ++i) {
        if (document.ImportBitmapBytes(ByteSpan(file.data(), file.size()), true) != ImportFailureNone) {
            std::printf("all sizes: the 256 px picture could not be imported\n");
            return;
        }
        std::vector<int> added;
        const double start = Now();
        built += document.AddMissingSizes(added) == SizesOutcome::Added ? int(added.size()) : 0;
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("build the 8 missing Windows sizes from a 256 px 32-bit image: median %.2f ms, best %.2f ms "
                "(%d images built in %d rounds)\n", times[times.size() / 2], times.front(), built, rounds);
    if (!folder)
        return;
    std::vector<BYTE> bgra;
    for (int i = 0; document.GetImage(i); ++i) {
        const IconImage& image = *document.GetImage(i);
        if (!ImageToBgra(image, bgra))
            continue;
        WriteRgba(std::string(folder) + "\\" + std::to_string(image.GetSize()) + ".rgba", bgra);
    }
}
