#include "bench.h"

#include <cstdio>
#include <windows.h>

#include "model/drawing.h"
#include "model/icon_image.h"
#include "model/transforms.h"

namespace {

class Stopwatch
{
public:
    Stopwatch() { QueryPerformanceFrequency(&frequency_); QueryPerformanceCounter(&start_); }
    double Milliseconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * double(now.QuadPart - start_.QuadPart) / double(frequency_.QuadPart);
    }
private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

void BenchFloodFill()
{
    IconImage image;
    if (!image.CreateBlank(128, 8)) {
        std::printf("flood fill 128x128x8: image could not be built\n");
        return;
    }
    Stopwatch watch;
    int result = FloodFill(image, 0, 0, image.GetPixelColour(0, 0), 0, image.GetPaletteColour(0));
    double ms = watch.Milliseconds();
    int painted = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            painted += image.GetPixelIndex(x, y) == 0;
    std::printf("flood fill of a whole 128x128x8 image: %.3f ms (result %d, %d pixels painted)\n",
                ms, result, painted);
}

void BenchShiftAndMirror()
{
    IconImage image;
    if (!image.CreateBlank(128, 32)) {
        std::printf("shift/mirror 128x128x32: image could not be built\n");
        return;
    }
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            image.SetPixelColour(x, y, RGB(x * 2, y * 2, (x + y) & 0xFF));

    Stopwatch shiftWatch;
    Shift(image, nullptr, 1, 0);
    double shiftMs = shiftWatch.Milliseconds();

    Stopwatch mirrorWatch;
    Mirror(image, nullptr, true);
    double mirrorMs = mirrorWatch.Milliseconds();

    std::printf("shift of a 128x128x32 image (with its undo snapshot): %.3f ms\n", shiftMs);
    std::printf("mirror of a 128x128x32 image: %.3f ms\n", mirrorMs);
}

void BenchStrokeSegments()
{
    IconImage image;
    if (!image.CreateBlank(128, 32)) {
        std::printf("stroke 128x128x32: image could not be built\n");
        return;
    }
    const int steps = 1000;
    POINT previous = { 0, 0 };
    Stopwatch watch;
    for (int i = 1; i <= steps; ++i) {
        // Sweeps back and forth over the whole image with jumps of a few pixels,
        // so that most steps draw a line.
        POINT next = { (i * 7) % 128, (i * 13) % 128 };
        DrawStrokeSegment(image, previous, next, 0, image.GetPaletteColour(0));
        previous = next;
    }
    double ms = watch.Milliseconds();
    std::printf("%d stroke steps across a 128x128x32 image: %.3f ms (%.2f us per step)\n",
                steps, ms, 1000.0 * ms / steps);
}

void BenchShapes()
{
    IconImage image;
    if (!image.CreateBlank(128, 8)) {
        std::printf("shapes 128x128x8: image could not be built\n");
        return;
    }
    const int shapes = 300;
    Stopwatch watch;
    for (int i = 0; i < shapes; ++i) {
        POINT start = { -10 + i % 20, -10 + i % 17 }, end = { 140 - i % 23, 140 - i % 19 };
        DrawShape(image, static_cast<ShapeKind>(i % 3), start, end, image.GetPaletteColour(i % 256));
    }
    double ms = watch.Milliseconds();
    std::printf("%d lines, rectangles and ellipses across a 128x128x8 image: %.3f ms (%.2f us each)\n",
                shapes, ms, 1000.0 * ms / shapes);
}

}  // namespace

void RunPixelBenchmarks()
{
    BenchFloodFill();
    BenchShiftAndMirror();
    BenchStrokeSegments();
    BenchShapes();
}
