#include "model/resample.h"

#include <cmath>
#include <new>

namespace {

// Shrinking by a whole factor averages each block of source pixels: every
// output pixel stands for exactly its own block, which keeps the small sizes
// as sharp as they can be and gives results that can be checked by hand.
// Any other ratio uses the Catmull-Rom cubic (a = -0.5), stretched by the
// shrink factor. Chosen over Lanczos-3 for its short reach and its one
// negative lobe: next to an edge it can only undershoot, so past a shape's
// border the alpha clips to 0 instead of leaving the faint rings of
// Lanczos-3's third lobe around every icon, and at 16 to 48 pixels the
// difference in sharpness does not show.
double CatmullRom(double x)
{
    x = std::fabs(x);
    if (x < 1.0)
        return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0)
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

const double kCatmullRomReach = 2.0;

BYTE Clamped(double value)
{
    return value <= 0.0 ? 0 : value >= 255.0 ? 255 : BYTE(value + 0.5);
}

// Back from premultiplied values to straight bytes.
void PutStraight(const float* premultiplied, BYTE* pixel)
{
    const BYTE alpha = Clamped(premultiplied[3]);
    if (alpha == 0) {
        pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
        return;
    }
    // Divided by the unrounded alpha, the weights cancel out: a shape of one
    // colour keeps exactly that colour along its soft edge.
    const double scale = 255.0 / premultiplied[3];
    for (int c = 0; c < 3; ++c)
        pixel[c] = Clamped(premultiplied[c] * scale);
    pixel[3] = alpha;
}

void ShrinkByBlocks(const BYTE* source, int from, int to, BYTE* out)
{
    const int factor = from / to;
    const ULONGLONG count = ULONGLONG(factor) * factor;
    for (int y = 0; y < to; ++y) {
        for (int x = 0; x < to; ++x) {
            ULONGLONG alpha = 0, colour[3] = {0, 0, 0};
            for (int sy = y * factor; sy < (y + 1) * factor; ++sy) {
                const BYTE* p = source + (size_t(sy) * from + size_t(x) * factor) * 4;
                for (int sx = 0; sx < factor; ++sx, p += 4) {
                    alpha += p[3];
                    for (int c = 0; c < 3; ++c)
                        colour[c] += ULONGLONG(p[c]) * p[3];
                }
            }
            BYTE* pixel = out + (size_t(y) * to + x) * 4;
            // Rounded half up, in whole numbers, so that the result is exact.
            pixel[3] = BYTE((2 * alpha + count) / (2 * count));
            for (int c = 0; c < 3; ++c)
                pixel[c] = pixel[3] ? BYTE((2 * colour[c] + alpha) / (2 * alpha)) : 0;
        }
    }
}

// The source pixels and weights that make each output position along one axis.
struct AxisTaps
{
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;  // reach entries per output position
    int reach = 0;
};

void MakeTaps(int from, int to, AxisTaps& taps)
{
    const double scale = double(from) / to;
    const double stretch = scale > 1.0 ? scale : 1.0;
    const double support = kCatmullRomReach * stretch;
    taps.reach = int(std::ceil(support)) * 2 + 1;
    taps.first.assign(to, 0);
    taps.count.assign(to, 0);
    taps.weights.assign(size_t(to) * taps.reach, 0.0f);
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * scale;
        int low = int(std::floor(centre - support + 0.5));
        int high = int(std::floor(centre + support + 0.5));
        low = low < 0 ? 0 : low;
        high = high > from ? from : high;
        // Near the border only the pixels inside weigh, scaled to add up to 1
        // again (as the reference resamplers do).
        float* weights = &taps.weights[size_t(i) * taps.reach];
        double total = 0.0;
        for (int j = low; j < high; ++j)
            total += CatmullRom((j + 0.5 - centre) / stretch);
        for (int j = low; j < high; ++j)
            weights[j - low] = float(total != 0.0 ? CatmullRom((j + 0.5 - centre) / stretch) / total : 0.0);
        taps.first[i] = low;
        taps.count[i] = high - low;
    }
}

void ResampleWithCubic(const BYTE* source, int from, int to, BYTE* out)
{
    AxisTaps taps;
    MakeTaps(from, to, taps);
    std::vector<float> premultiplied(size_t(from) * from * 4);
    for (size_t i = 0; i < size_t(from) * from; ++i) {
        const BYTE* p = source + i * 4;
        // Exact for a shape of one colour: 255 * a / 255 is a itself.
        for (int c = 0; c < 3; ++c)
            premultiplied[i * 4 + c] = float(p[c] * p[3]) / 255.0f;
        premultiplied[i * 4 + 3] = float(p[3]);
    }
    // Across the rows first, then down the columns of that result.
    std::vector<float> across(size_t(from) * to * 4, 0.0f);
    for (int y = 0; y < from; ++y) {
        for (int x = 0; x < to; ++x) {
            const float* weights = &taps.weights[size_t(x) * taps.reach];
            const float* p = &premultiplied[(size_t(y) * from + taps.first[x]) * 4];
            float sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < taps.count[x]; ++k, p += 4)
                for (int c = 0; c < 4; ++c)
                    sum[c] += weights[k] * p[c];
            for (int c = 0; c < 4; ++c)
                across[(size_t(y) * to + x) * 4 + c] = sum[c];
        }
    }
    for (int y = 0; y < to; ++y) {
        const float* weights = &taps.weights[size_t(y) * taps.reach];
        for (int x = 0; x < to; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < taps.count[y]; ++k) {
                const float* p = &across[(size_t(taps.first[y] + k) * to + x) * 4];
                for (int c = 0; c < 4; ++c)
                    sum[c] += weights[k] * p[c];
            }
            PutStraight(sum, out + (size_t(y) * to + x) * 4);
        }
    }
}

}  // namespace

bool ResampleSquare(const std::vector<BYTE>& source, int from, int to, std::vector<BYTE>& out)
{
    if (from < 1 || to < 1 || source.size() != size_t(from) * from * 4)
        return false;
    try {
        std::vector<BYTE> result(size_t(to) * to * 4);
        if (from % to == 0)
            ShrinkByBlocks(source.data(), from, to, result.data());
        else
            ResampleWithCubic(source.data(), from, to, result.data());
        out.swap(result);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
