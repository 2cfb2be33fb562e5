// Times opening and saving a document of 30 images, copying a 128x128x32 state,
// measures the memory one undo step holds and the GDI objects and memory a
// session of strokes keeps; then runs the pixel benchmarks.
// Run on demand (see README), never by the tests.
#include "bench.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/icon_document.h"
#include "document/icon_record.h"
#include "model/drawing.h"
#include "model/icon_image.h"

double Milliseconds()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

namespace {

struct Timing
{
    double best;
    double median;
};

template <typename Action>
Timing Measure(int rounds, Action action)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        double start = Milliseconds();
        action();
        times.push_back(Milliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return Timing{times.front(), times[times.size() / 2]};
}

// Private bytes of the process; DIB sections count there too. Looked up at run
// time: the function moved from psapi.dll into kernel32 over the Windows versions.
struct MemoryCounters
{
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};
typedef BOOL(WINAPI* GetMemoryInfo)(HANDLE, MemoryCounters*, DWORD);

SIZE_T PrivateBytes()
{
    static GetMemoryInfo query = nullptr;
    if (!query) {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        query = reinterpret_cast<GetMemoryInfo>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "K32GetProcessMemoryInfo")));
        if (!query) {
            HMODULE psapi = LoadLibraryA("psapi.dll");
            if (psapi)
                query = reinterpret_cast<GetMemoryInfo>(
                    reinterpret_cast<void*>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
        }
    }
    MemoryCounters counters = {};
    counters.cb = sizeof(counters);
    if (!query || !query(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return counters.PagefileUsage;
}

// Live GDI objects of the process. GetGuiResources is a stub answering 0 under
// Wine 8: there the entries of the process's GDI handle table are counted, whose
// address Wine keeps in the PEB (GdiSharedHandleTable, offset 0x94 on 32 bits, 0xF8 on 64):
// 65,536 entries of 24 bytes, live when the type byte at offset 14 is set.
struct BasicInformation
{
    LONG exitStatus;
    BYTE* peb;
    ULONG_PTR reserved[4];
};
typedef LONG(WINAPI* QueryProcess)(HANDLE, int, void*, ULONG, ULONG*);

DWORD LiveGdiObjects()
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count)
        return count;
    QueryProcess query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    BasicInformation information = {};
    if (!query || query(GetCurrentProcess(), 0, &information, sizeof information, nullptr) != 0)
        return 0;
    const BYTE* table = information.peb ? *reinterpret_cast<BYTE* const*>(information.peb + (sizeof(void*) == 4 ? 0x94 : 0xF8)) : nullptr;
    for (int i = 0; table && i < 65536; ++i)
        count += table[24 * i + 14] != 0;
    return count;
}

// Every pixel set, so that the files carry real content.
void Paint(IconImage& image, int seed)
{
    const int size = image.GetSize();
    const int n = image.GetPaletteCount();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if ((x + y + seed) % 11 == 0)
                image.SetTransparent(x, y, true);
            else if (image.GetBitCount() <= 8)
                image.SetPixelIndex(x, y, (x * 3 + y + seed) % n);
            else
                image.SetPixelColour(x, y, RGB(x * 2, y * 2, (x + y + seed) & 0xFF));
        }
}

bool BuildThirtyImages(IconDocument& document)
{
    const int sides[] = {16, 32, 48, 64, 72, 128};
    const int depths[] = {1, 4, 8, 24, 32};
    int seed = 0;
    for (int side : sides)
        for (int bits : depths) {
            if (document.AddNewImage(side, bits) != EditOutcome::Done)
                return false;
            Paint(*document.GetCurrentImage(), ++seed);
        }
    return true;
}

void BenchFiles()
{
    IconDocument document;
    if (!BuildThirtyImages(document)) {
        std::printf("document of 30 images: could not be built\n");
        return;
    }
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"vemiro-bench.ico";
    const int rounds = 20;
    int saved = 0;
    Timing save = Measure(rounds, [&] { saved += document.WriteIconFile(path.c_str()) == SaveFailure::None; });
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    std::printf("save a document of 30 images (5 of each side, depths 1 to 32, %lu bytes): "
                "median %.3f ms, best %.3f ms (%d of %d written)\n",
                static_cast<unsigned long>(data.nFileSizeLow), save.median, save.best, saved, rounds);

    IconDocument reader;
    int opened = 0;
    Timing open = Measure(rounds, [&] { opened += reader.OpenFile(path.c_str()) == OpenFailureNone; });
    std::printf("open it: median %.3f ms, best %.3f ms (%d of %d opened, %d images)\n",
                open.median, open.best, opened, rounds, reader.GetImageCount());
    DeleteFileW(path.c_str());
}

// An icon of other writers' kind: 32-bit images with soft alpha of the sizes
// Windows uses, the 256 px one a PNG record.
void BenchSoftAlphaFile(const wchar_t* path)
{
    const int rounds = 20;
    IconDocument document;
    int opened = 0;
    const Timing open = Measure(rounds, [&] { opened += document.OpenFile(path) == OpenFailureNone; });
    std::printf("open an icon of 16 to 256 px images with soft alpha (the 256 as PNG): median %.3f ms, best %.3f ms "
                "(%d of %d opened, %d images, %d kept whole)\n",
                open.median, open.best, opened, rounds, document.GetImageCount(),
                static_cast<int>(document.GetKeptEntries().size()));
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring copy = std::wstring(folder) + L"vemiro-bench-alpha.ico";
    int saved = 0;
    const Timing save = Measure(rounds, [&] { saved += document.WriteIconFile(copy.c_str()) == SaveFailure::None; });
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(copy.c_str(), GetFileExInfoStandard, &data);
    std::printf("save it: median %.3f ms, best %.3f ms (%d of %d written, %lu bytes)\n", save.median, save.best,
                saved, rounds, static_cast<unsigned long>(data.nFileSizeLow));
    DeleteFileW(copy.c_str());
}

void BenchCopyState()
{
    IconImage image;
    if (!image.CreateBlank(128, 32)) {
        std::printf("CopyCurrentState: image could not be built\n");
        return;
    }
    Paint(image, 1);
    int copied = 0;
    Timing copy = Measure(1000, [&] {
        copied += image.CopyCurrentState() != nullptr;
    });
    std::printf("CopyCurrentState of a 128x128x32 image: median %.4f ms, best %.4f ms (%d of 1000 made)\n",
                copy.median, copy.best, copied);
}

void BenchUndoStepMemory()
{
    const int steps = 200;
    IconImage image;
    if (!image.CreateBlank(128, 32)) {
        std::printf("undo step memory: image could not be built\n");
        return;
    }
    SIZE_T before = PrivateBytes();
    int committed = 0;
    for (int i = 0; i < steps; ++i) {
        std::unique_ptr<ImageState> state = image.CopyCurrentState();
        image.SetPixelColour(i % 128, i / 128, RGB(i, 0, 0));
        committed += image.CommitState(std::move(state));
    }
    SIZE_T after = PrivateBytes();
    const RecordBytes bytes = RecordBytesOf(image);
    const int content = bytes.colour + bytes.mask + 256 * 4;
    const int records = static_cast<int>(sizeof(ImageState) + ImageState::kListNodeBytes);
    std::printf("one undo step of a 128x128x32 image holds %d bytes of pixels, mask and palette "
                "and %d bytes of records", content, records);
    if (before && after >= before)
        std::printf("; measured %.0f bytes of private memory per step over %d steps\n",
                    double(after - before) / committed, committed);
    else
        std::printf("; private memory could not be measured\n");
}

// Strokes drawn as the canvas draws them (copy, segment, commit) on an image of a
// document, so that the document's history budget applies.
void BenchStrokeSession()
{
    const int strokes = 1000;
    IconDocument document;
    if (document.AddNewImage(128, 32) != EditOutcome::Done) {
        std::printf("stroke session: image could not be built\n");
        return;
    }
    IconImage& image = *document.GetCurrentImage();
    const DWORD objectsBefore = LiveGdiObjects();
    const SIZE_T memoryBefore = PrivateBytes();
    int committed = 0;
    for (int i = 0; i < strokes; ++i) {
        std::unique_ptr<ImageState> before = image.CopyCurrentState();
        const POINT from = { (i * 7) % 128, (i * 13) % 128 }, to = { (i * 29 + 40) % 128, (i * 11) % 128 };
        DrawStrokeSegment(image, from, to, -1, RGB(i & 0xFF, 0x40, 0x80));
        committed += image.CommitState(std::move(before));
    }
    const DWORD objectsAfter = LiveGdiObjects();
    const SIZE_T memoryAfter = PrivateBytes();
    int kept = 0;
    while (image.Undo())
        ++kept;
    std::printf("%d strokes on a 128x128x32 image of a document (%d committed, %d undo steps kept): "
                "GDI objects %lu before, %lu after; private memory %+.1f MB\n",
                strokes, committed, kept, static_cast<unsigned long>(objectsBefore),
                static_cast<unsigned long>(objectsAfter),
                (double(memoryAfter) - double(memoryBefore)) / (1024.0 * 1024.0));
}

} // namespace

// bench [--sizes-to FOLDER] [ICON]: FOLDER receives the pictures built from one
// image; ICON is the icon with soft alpha that scripts/bench.sh makes.
int main(int argc, char** argv)
{
    std::printf("Vemiro Editor benchmarks\n");
    BenchFiles();
    const char* sizesFolder = nullptr;
    int iconArgument = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--sizes-to" && i + 1 < argc)
            sizesFolder = argv[++i];
        else
            iconArgument = i;
    }
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments && iconArgument > 0 && iconArgument < count)
        BenchSoftAlphaFile(arguments[iconArgument]);
    else
        std::printf("open and save of an icon with soft alpha: no file named (scripts/bench.sh makes one)\n");
    LocalFree(arguments);
    BenchCopyState();
    BenchUndoStepMemory();
    BenchStrokeSession();
    RunViewBenchmarks();
    RunPixelBenchmarks();
    RunSizeBenchmarks(sizesFolder);
    return 0;
}
