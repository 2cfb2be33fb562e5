// The fuzz driver: mutants of every fixture file through the document's
// readers (open, bitmap import, paste of a packed DIB), counting refusals,
// crashes, hangs and inputs slower than 100 ms. Run on demand (see README),
// never by the tests.
//
// An access violation leaves a process whose heap and locks may be half
// changed: going on in it after a jump out of a handler (setjmp/longjmp from a
// vectored handler, the usual trick under MinGW, which has no __try) could
// count a later input's fault against the wrong one, or hide it. So the
// inputs run in a worker process that writes the number of its current input
// to memory shared with this one; a crash ends only the worker, whose filter
// notes the exception code, and a new worker goes on from the next input.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/icon_document.h"
#include "fuzz_inputs.h"

namespace {

const double kSlowMilliseconds = 100;
const DWORD kHangMilliseconds = 20000;
const char* const kPathNames[] = {"open", "import", "paste"};
const char* const kUsage =
    "usage: fuzz --fixtures FOLDER [--seed N] [--first N] [--count N] [--jobs N] [--crashes FOLDER]\n";

// Written by the worker alone, read by the driver.
struct Progress
{
    volatile LONG current;          // the input being run
    volatile LONG finished;         // inputs run to their end
    volatile LONG exceptionCode;    // of the crash that ended the worker
    LONG accepted[3];
    LONG refused[3];
    LONG unreadableWrites;          // opened, written, and then refused
    LONG firstUnreadableWrite;      // the input of the first of them
    LONG slow;
    double slowest;
    LONG slowestInput;
};

struct Options
{
    unsigned long long seed = 20261208;
    long first = 0;                 // inputs first .. first + count - 1: one alone re-runs a finding
    long count = 100000;
    int jobs = 1;
    std::string fixtures;
    std::string crashes = ".";
};

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

Progress* sharedProgress = nullptr;

LONG WINAPI EndWorker(EXCEPTION_POINTERS* exception)
{
    if (sharedProgress)
        sharedProgress->exceptionCode = LONG(exception->ExceptionRecord->ExceptionCode);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Documents the import and the paste go into, renewed now and then so that
// neither fills up with images or undo steps.
void Renew(IconDocument& document, int bitCount)
{
    document.CloseDocument();
    document.AddNewImage(32, bitCount);
}

void RunInput(const Mutant& mutant, long number, IconDocument& importInto, IconDocument& pasteInto,
              Progress& progress)
{
    const ByteSpan bytes(mutant.bytes.data(), mutant.bytes.size());
    IconDocument opened;
    bool ok[3];
    ok[0] = opened.OpenBytes(bytes) == OpenFailureNone;
    ok[1] = importInto.ImportBitmapBytes(bytes, false) == ImportFailureNone;
    ok[2] = pasteInto.PastePackedDib(bytes) == EditOutcome::Done;
    for (int path = 0; path < 3; ++path)
        ++(ok[path] ? progress.accepted : progress.refused)[path];
    // Whatever opened must be written as a file that opens again.
    std::vector<BYTE> written;
    IconDocument reread;
    if (ok[0] && (opened.BuildFileBytes(IconFileKind::Icon, written) != SaveFailure::None
                  || reread.OpenBytes(ByteSpan(written.data(), written.size())) != OpenFailureNone)
        && progress.unreadableWrites++ == 0)
        progress.firstUnreadableWrite = number;
}

int RunWorker(const Options& options, Progress& progress, long from, long end)
{
    sharedProgress = &progress;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndWorker);
    std::vector<FuzzBase> bases;
    if (!LoadFuzzBases(options.fixtures, bases))
        return 2;
    IconDocument importInto, pasteInto;
    // The first image, bitmap and paste load parts of the system: each base
    // once, untimed and uncounted, so that only the inputs themselves count as slow.
    Renew(importInto, 8);
    Renew(pasteInto, 24);
    Progress ignored = {};
    for (const FuzzBase& base : bases)
        RunInput(Mutant{&base, base.bytes, "none"}, -1, importInto, pasteInto, ignored);
    for (long n = from; n < end; ++n) {
        progress.current = n;
        if ((n - from) % 64 == 0) {
            Renew(importInto, 8);
            Renew(pasteInto, n % 128 ? 24 : 8);
        }
        const Mutant mutant = MakeMutant(bases, options.seed, (unsigned long long)n);
        const double start = Now();
        RunInput(mutant, n, importInto, pasteInto, progress);
        const double took = Now() - start;
        if (took > kSlowMilliseconds)
            ++progress.slow;
        if (took > progress.slowest) {
            progress.slowest = took;
            progress.slowestInput = n;
        }
        progress.finished = n + 1;
    }
    return 0;
}

// A worker running inputs from..end of the seed, its progress in shared memory.
struct Worker
{
    HANDLE mapping = nullptr;
    Progress* progress = nullptr;
    PROCESS_INFORMATION process = {};
    long end = 0;
    LONG lastSeen = -1;
    DWORD lastChange = 0;
};

bool Launch(const Options& options, Worker& worker, long from)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char line[4 * MAX_PATH];
    std::snprintf(line, sizeof line, "\"%s\" --worker %llu %ld %ld --seed %llu --fixtures \"%s\"", self,
                  (unsigned long long)(ULONG_PTR)worker.mapping, from, worker.end, options.seed,
                  options.fixtures.c_str());
    worker.progress->current = from;
    worker.progress->exceptionCode = 0;
    worker.lastSeen = -1;
    worker.lastChange = GetTickCount();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &worker.process) != 0;
}

void SaveCrash(const Options& options, const std::vector<FuzzBase>& bases, long input, const char* what, LONG code)
{
    const Mutant mutant = MakeMutant(bases, options.seed, (unsigned long long)input);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%s\\fuzz-%llu-%ld.bin", options.crashes.c_str(), options.seed, input);
    if (FILE* out = std::fopen(name, "wb")) {
        std::fwrite(mutant.bytes.data(), 1, mutant.bytes.size(), out);
        std::fclose(out);
    }
    std::printf("%s at input %ld (%s of %s, code 0x%08lx): %s\n", what, input, mutant.how,
                mutant.base->name.c_str(), (unsigned long)code, name);
}

// Waits for one worker: true when it ran to its end; on a crash or hang it
// is relaunched past the input that caused it.
bool Supervise(const Options& options, const std::vector<FuzzBase>& bases, Worker& worker, long& crashes,
               long& hangs)
{
    if (WaitForSingleObject(worker.process.hProcess, 200) == WAIT_TIMEOUT) {
        const LONG current = worker.progress->current;
        if (current != worker.lastSeen) {
            worker.lastSeen = current;
            worker.lastChange = GetTickCount();
            return false;
        }
        if (GetTickCount() - worker.lastChange < kHangMilliseconds)
            return false;
        TerminateProcess(worker.process.hProcess, 4);
        WaitForSingleObject(worker.process.hProcess, INFINITE);
        ++hangs;
        SaveCrash(options, bases, current, "Hang", 0);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(worker.process.hProcess, &code);
        if (code == 0) {
            CloseHandle(worker.process.hProcess);
            CloseHandle(worker.process.hThread);
            return true;
        }
        ++crashes;
        SaveCrash(options, bases, worker.progress->current, "Crash", worker.progress->exceptionCode);
    }
    CloseHandle(worker.process.hProcess);
    CloseHandle(worker.process.hThread);
    const long next = worker.progress->current + 1;
    if (next >= worker.end)
        return true;
    if (!Launch(options, worker, next)) {
        std::printf("A worker could not be started again.\n");
        return true;
    }
    return false;
}

int RunDriver(const Options& options)
{
    std::vector<FuzzBase> bases;
    if (!LoadFuzzBases(options.fixtures, bases)) {
        std::printf("No fixture could be read in %s\n", options.fixtures.c_str());
        return 2;
    }
    std::printf("Seed %llu, %ld mutants of %zu inputs from %s, %d worker(s)\n", options.seed, options.count,
                bases.size(), options.fixtures.c_str(), options.jobs);
    std::fflush(stdout);
    const double start = Now();
    std::vector<Worker> workers(size_t(options.jobs));
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    for (int j = 0; j < options.jobs; ++j) {
        Worker& worker = workers[size_t(j)];
        worker.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, &inherited, PAGE_READWRITE, 0, sizeof(Progress),
                                            nullptr);
        void* view = worker.mapping ? MapViewOfFile(worker.mapping, FILE_MAP_WRITE, 0, 0, 0) : nullptr;
        worker.progress = static_cast<Progress*>(view);
        const long from = options.first + long(options.count * (long long)j / options.jobs);
        worker.end = options.first + long(options.count * (long long)(j + 1) / options.jobs);
        if (!worker.progress || !Launch(options, worker, from)) {
            std::printf("The worker could not be started.\n");
            return 2;
        }
    }
    long crashes = 0, hangs = 0;
    std::vector<bool> done(workers.size(), false);
    for (size_t left = workers.size(); left > 0;)
        for (size_t j = 0; j < workers.size(); ++j)
            if (!done[j] && Supervise(options, bases, workers[j], crashes, hangs)) {
                done[j] = true;
                --left;
            }
    Progress total = {};
    for (const Worker& worker : workers) {
        for (int p = 0; p < 3; ++p) {
            total.accepted[p] += worker.progress->accepted[p];
            total.refused[p] += worker.progress->refused[p];
        }
        total.unreadableWrites += worker.progress->unreadableWrites;
        if (worker.progress->unreadableWrites)
            SaveCrash(options, bases, worker.progress->firstUnreadableWrite, "Written file refused", 0);
        total.slow += worker.progress->slow;
        if (worker.progress->slowest > total.slowest) {
            total.slowest = worker.progress->slowest;
            total.slowestInput = worker.progress->slowestInput;
        }
    }
    const double seconds = (Now() - start) / 1000;
    for (int p = 0; p < 3; ++p)
        std::printf("%-7s accepted %7ld  refused %7ld\n", kPathNames[p], total.accepted[p], total.refused[p]);
    std::printf("crashes %ld, hangs %ld, slower than %.0f ms %ld (slowest %.1f ms, input %ld), "
                "written files refused %ld\n", crashes, hangs, kSlowMilliseconds, total.slow, total.slowest,
                total.slowestInput, total.unreadableWrites);
    std::printf("%ld mutants in %.1f s (%.0f per second)\n", options.count, seconds, options.count / seconds);
    return crashes || hangs || total.unreadableWrites ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    bool worker = false;
    unsigned long long mapping = 0;
    long from = 0, end = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--worker" && i + 3 < argc) {
            worker = true;
            mapping = std::strtoull(argv[++i], nullptr, 10);
            from = std::strtol(argv[++i], nullptr, 10);
            end = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--first" && hasValue) {
            options.first = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--count" && hasValue) {
            options.count = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--jobs" && hasValue) {
            options.jobs = std::atoi(argv[++i]);
        } else if (arg == "--fixtures" && hasValue) {
            options.fixtures = argv[++i];
        } else if (arg == "--crashes" && hasValue) {
            options.crashes = argv[++i];
        } else {
            std::printf("%s", kUsage);
            return 2;
        }
    }
    if (options.fixtures.empty() || options.first < 0 || options.count <= 0 || options.count > LONG_MAX - options.first
        || options.jobs < 1 || options.jobs > 16) {
        std::printf("%s", kUsage);
        return 2;
    }
    if (!worker)
        return RunDriver(options);
    HANDLE shared = reinterpret_cast<HANDLE>(ULONG_PTR(mapping));
    Progress* progress = static_cast<Progress*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0));
    return progress ? RunWorker(options, *progress, from, end) : 2;
}
