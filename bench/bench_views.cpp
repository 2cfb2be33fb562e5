#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "document/icon_document.h"
#include "model/icon_image.h"
#include "views/edit_view.h"
#include "views/preview_view.h"
#include "views/pixel_buffer.h"
#include "views/shown_pixels.h"
#include "win/gdi_guards.h"

namespace {

const int kSide = 256;

// The median of rounds runs, after one to warm caches up.
template <typename Action>
double Median(int rounds, Action action)
{
    action();
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = Milliseconds();
        action();
        GdiFlush();
        times.push_back(Milliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A gradient disc whose edge fades through soft alpha, transparent outside.
bool LoadSoftDisc(IconImage& image, int size)
{
    ImagePixels pixels;
    if (!pixels.Resize(size, 32))
        return false;
    const double centre = (size - 1) / 2.0, radius = size * 0.45, fade = std::max(2.0, size / 8.0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double distance = std::sqrt((x - centre) * (x - centre) + (y - centre) * (y - centre));
            const int alpha = std::max(0, std::min(255, int((radius - distance) * 255 / fade + 0.5)));
            BYTE* pixel = &pixels.colour[RowStride(size, 32) * (size - 1 - y) + 4 * x];
            pixel[0] = alpha ? 160 : 0;
            pixel[1] = alpha ? BYTE(y * 255 / size) : 0;
            pixel[2] = alpha ? BYTE(x * 255 / size) : 0;
            pixel[3] = BYTE(alpha);
            if (!alpha)
                pixels.mask[RowStride(size, 1) * (size - 1 - y) + x / 8] |= BYTE(0x80 >> (x % 8));
        }
    return image.LoadPixels(pixels) == 1;
}

LRESULT CALLBACK ParentProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeParent()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "VemiroBenchParent";
    if (!RegisterClassA(&wc) || !EditView::RegisterEditViewClass() || !PreviewView::RegisterPreviewClass())
        return nullptr;
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPED | WS_CAPTION, 0, 0, 660, 530, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    return parent;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The canvas's paint of the image against a bare StretchBlt of its colour
// bitmap to the same 256 x 256 target, into an off-screen copy of the screen
// and into the canvas window itself.
void BenchRepaint(EditView& view, HWND canvas, const IconImage& image)
{
    WindowDC screen(nullptr);
    MemoryDC target(screen);
    OwnedBitmap surface(CreateCompatibleBitmap(screen, kSide, kSide));
    MemoryDC source(screen);
    if (!target.Ok() || !surface.Ok() || !source.Ok()) {
        std::printf("canvas repaint: no context to paint into\n");
        return;
    }
    SelectGuard keepSurface(target, surface);
    SelectGuard keepSource(source, image.GetColourBitmap());
    const int size = image.GetSize();
    WindowDC window(canvas);
    // What the goal leaves out: the blend of every pixel over the face, which
    // a copy 1:1 of the colour bitmap does not do.
    PixelBuffer composed(target, kSide, kSide);
    const double blend = Median(200, [&] { ComposeOverFace(image, composed); });
    struct Target { const char* name; HDC dc; };
    for (const Target& t : { Target{ "an off-screen bitmap", target }, Target{ "the canvas window", window } }) {
        const double paint = Median(200, [&] { view.Paint(t.dc); });
        const double bare = Median(200, [&] {
            StretchBlt(t.dc, 0, 0, kSide, kSide, source, 0, 0, size, size, SRCCOPY);
        });
        std::printf("repaint of the canvas, %dx%dx32 image with alpha, into %s: median %.3f ms; bare StretchBlt "
                    "%.3f ms; ratio %.2f (goal at most 2: %s)\n",
                    size, size, t.name, paint, bare, paint / bare, paint <= 2 * bare ? "met" : "NOT met");
    }
    // The figures above repaint an unchanged image, from the picture the canvas
    // keeps; after a change the image is composed again.
    const double changed = Median(200, [&] {
        view.RepaintImage(false);
        view.Paint(target);
    });
    std::printf("repaint of the canvas after a change of the image (composed again): median %.3f ms\n", changed);
    std::printf("of which the blend of its %d pixels over the button face: median %.3f ms\n", size * size, blend);
}

// One stroke of 1,000 mouse steps through the real canvas window, each
// repainted at once as the canvas does; then its undo step.
void BenchPencilSteps(IconDocument& document, HWND canvas)
{
    const int steps = 1000;
    IconImage& image = *document.GetCurrentImage();
    const size_t heldBefore = image.History().GetHeldBytes();
    const double start = Milliseconds();
    SendMessageA(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    for (int i = 1; i <= steps; ++i) {
        const int x = (i * 7) % kSide, y = (i * 13) % kSide;
        SendMessageA(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    SendMessageA(canvas, WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    const double ms = Milliseconds() - start;
    const size_t step = image.History().GetHeldBytes() - heldBefore;
    const size_t raw = size_t(RowStride(kSide, 32)) * kSide + size_t(RowStride(kSide, 1)) * kSide;
    std::printf("%d pencil steps on the %dx%dx32 image through the canvas: %.1f ms (%.3f ms per step, repaint "
                "included), %s\n",
                steps, kSide, kSide, ms, ms / steps, image.CanUndo() ? "one undo step" : "NO undo step");
    std::printf("its undo step holds %lu bytes for %lu raw pixel bytes (colour and mask): ratio %.4f (goal at most "
                "1.05: %s)\n",
                static_cast<unsigned long>(step), static_cast<unsigned long>(raw), double(step) / double(raw),
                double(step) <= 1.05 * double(raw) ? "met" : "NOT met");
}

}  // namespace

void RunViewBenchmarks()
{
    HWND parent = MakeParent();
    if (!parent) {
        std::printf("canvas benchmarks: no window\n");
        return;
    }
    {
        IconDocument document;
        EditView view(document);
        HWND canvas = view.CreateEditView(parent);
        if (!canvas || document.AddNewImage(kSide, 32) != EditOutcome::Done || !LoadSoftDisc(*document.GetCurrentImage(), kSide)) {
            std::printf("canvas benchmarks: the %d px image or its canvas could not be made\n", kSide);
        } else {
            Pump();
            BenchRepaint(view, canvas, *document.GetCurrentImage());
            BenchPencilSteps(document, canvas);
        }
        DestroyWindow(parent);
        Pump();
    }
}
