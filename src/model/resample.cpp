#include "model/resample.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Shrinking by a whole factor of up to 4 averages each block of source pixels:
// every output pixel stands for exactly its own block, which keeps the small
// sizes as sharp as they can be and gives results that can be checked by hand.
// Past that (256 to 16 px) a block of 16 x 16 pixels averages away the detail
// a cubic keeps: measured against a Lanczos reference, 3.8 levels of 255 off
// for the block, 2.1 for the cubic. Any other ratio uses the Catmull-Rom cubic (a = -0.5), stretched by the
// shrink factor. Chosen over Lanczos-3 for its short reach and its one
// negative lobe: beside a straight edge it can only undershoot, so past a
// shape's border the alpha clips to 0 instead of keeping the faint rings that
// Lanczos-3's third lobe draws around every icon, while it stays about as
// sharp (it is what the reference resamplers call bicubic).
const int kLargestBlock = 4;

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

// Across the rows first, straight from the source bytes, then down the
// columns of that result: only the narrower picture is held in floats.
void ResampleWithCubic(const BYTE* source, int width, int height, int toWidth, int toHeight, BYTE* out)
{
    AxisTaps across, down;
    MakeTaps(width, toWidth, across);
    MakeTaps(height, toHeight, down);
    std::vector<float> rows(size_t(height) * toWidth * 4, 0.0f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < toWidth; ++x) {
            const float* weights = &across.weights[size_t(x) * across.reach];
            const BYTE* p = source + (size_t(y) * width + across.first[x]) * 4;
            float sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < across.count[x]; ++k, p += 4) {
                // Exact for a shape of one colour: 255 * a / 255 is a itself.
                const float alpha = p[3];
                for (int c = 0; c < 3; ++c)
                    sum[c] += weights[k] * (float(p[c] * p[3]) / 255.0f);
                sum[3] += weights[k] * alpha;
            }
            for (int c = 0; c < 4; ++c)
                rows[(size_t(y) * toWidth + x) * 4 + c] = sum[c];
        }
    }
    for (int y = 0; y < toHeight; ++y) {
        const float* weights = &down.weights[size_t(y) * down.reach];
        for (int x = 0; x < toWidth; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < down.count[y]; ++k) {
                const float* p = &rows[(size_t(down.first[y] + k) * toWidth + x) * 4];
                for (int c = 0; c < 4; ++c)
                    sum[c] += weights[k] * p[c];
            }
            PutStraight(sum, out + (size_t(y) * toWidth + x) * 4);
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
        if (from % to == 0 && from / to <= kLargestBlock)
            ShrinkByBlocks(source.data(), from, to, result.data());
        else
            ResampleWithCubic(source.data(), from, from, to, to, result.data());
        out.swap(result);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

SIZE FittedSize(int width, int height, int side)
{
    const int longer = std::max(width, height);
    const int square = std::min(longer, side);
    // The shorter side keeps the proportions, and at least one pixel.
    SIZE fitted;
    fitted.cx = width == longer ? square : std::max(1, int(double(width) * square / longer + 0.5));
    fitted.cy = height == longer ? square : std::max(1, int(double(height) * square / longer + 0.5));
    return fitted;
}

bool FitInSquare(const BYTE* source, int width, int height, int side, std::vector<BYTE>& out)
{
    if (!source || width < 1 || height < 1 || side < 1)
        return false;
    const int square = std::min(std::max(width, height), side);
    const SIZE fitted = FittedSize(width, height, side);
    const int w = fitted.cx, h = fitted.cy;
    try {
        std::vector<BYTE> scaled(size_t(w) * h * 4);
        if (w == width && h == height)
            std::copy(source, source + scaled.size(), scaled.begin());
        else if (width == height && width % w == 0)
            ShrinkByBlocks(source, width, w, scaled.data());
        else
            ResampleWithCubic(source, width, height, w, h, scaled.data());
        std::vector<BYTE> result(size_t(square) * square * 4, 0);
        const int left = (square - w) / 2, top = (square - h) / 2;
        for (int y = 0; y < h; ++y)
            std::copy(&scaled[size_t(y) * w * 4], &scaled[size_t(y) * w * 4] + size_t(w) * 4,
                      &result[(size_t(top + y) * square + left) * 4]);
        out.swap(result);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
