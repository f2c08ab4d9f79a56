// The benchmarks that measure the real setup.exe under the platform, and
// print what they measure (scripts/bench.sh runs them in the test bed):
//
//   bench startup [runs [earlier]]
//                           process start to the first paint of the splash,
//                           against baseline_window.exe (and an earlier
//                           build of setup.exe when named), in alternating
//                           runs; then the reading of the six form resources
//   bench footprint         the size of setup.exe and its peak working set
//                           with the installation settings shown
//   bench read-forms FILE   reads each form resource once in this fresh
//                           process and writes the times into FILE (the
//                           start-up benchmark runs it)
//   bench copy [runs]       the installation run copying one 256 MiB file,
//                           and 2,000 files of 4 KiB, against file_baseline
//                           copying the same files with CopyFileA, in
//                           alternating runs (5 of each unless told), and
//                           the times the run's journal waits for the disk
//   bench uninstall [runs]  Select All and Uninstall on logs of 1,000,
//                           10,000 and 100,000 F records, against
//                           file_baseline deleting the same files with
//                           DeleteFileA (3 of each unless told, the largest
//                           once), and the listing before it
//   bench parts [runs]      each part of the uninstall and of the copy timed
//                           on its own inside one process
//
// First paint is seen from outside, without any help from the program, so
// that setup.exe carries no measuring code: it is the first moment at which
// the program's window of the class is visible and has no part left to
// paint, that is, its paint message has been handled. Each run also tells
// whether the window was seen shown and still unpainted before that; the
// one-window program always is, which shows that another process's pending
// paint can be seen this way.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/DirForm.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/MessageDialogs.h"
#include "framework/Screen.h"
#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "runtime/TextFile.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"
#include "setup/forms/DialogPrompts.h"
#include "setup/engine/InstallRun.h"
#include "setup/engine/UninstallLog.h"
#include "tests/setup/EngineFixture.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The visible top-level window of the process of this class, or null.
HWND VisibleWindowOf(DWORD processId, const char* className)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// setup.exe as it is distributed: the sample distribution's copy, stripped
// of the debugging information that the linked program carries.
std::string DistributedSetup()
{
    return BuildFolder() + "sample\\setup.exe";
}

// A distribution the benchmarks start setup.exe from: the distributed
// program and a setup script with one file and no start-up messages, so
// that the mode choice follows the splash at once.
class Distribution {
public:
    explicit Distribution(const std::string& program = DistributedSetup())
    {
        if (!CopyFileA(program.c_str(), (m_dir / "setup.exe").c_str(), FALSE)) {
            std::fprintf(stderr, "bench: cannot copy %s\n", program.c_str());
            std::exit(1);
        }
        m_dir.WriteFile("product.exe", std::string(3000, 'x'));
        m_dir.WriteFile("setup.fls", "T\r\nBench Product\r\n"
                                     "D\r\nC:\\BENCHPROD\r\n"
                                     "G\r\nBench Group\r\n"
                                     "F\r\nDproduct.exe{3000\r\n");
    }
    std::string Program() const { return "\"" + m_dir.Path() + "setup.exe\""; }
    const std::string& Folder() const { return m_dir.Path(); }

private:
    TempDir m_dir;
};

struct FirstPaint {
    double Seconds = 0;
    // Whether the window was once seen shown but not yet painted: a check
    // that the waiting saw the paint happen rather than a window that was
    // painted before it was first looked at.
    bool SeenUnpainted = false;
};

// Starts the program and measures from just before its start to the first
// paint of its window of the class; the program is then ended.
FirstPaint TimeToFirstPaint(const std::string& commandLine, const std::string& folder, const char* className)
{
    FirstPaint result;
    const LARGE_INTEGER start = Now();
    DrivenProcess program(commandLine, folder);
    if (!program.Started())
        std::exit(1);
    for (;;) {
        if (HWND window = VisibleWindowOf(program.ProcessId(), className)) {
            RECT unpainted;
            if (!GetUpdateRect(window, &unpainted, FALSE)) {
                result.Seconds = Seconds(start, Now());
                return result;
            }
            result.SeenUnpainted = true;
        }
        if (!program.Running() || Seconds(start, Now()) > 30) {
            std::fprintf(stderr, "bench: no painted %s window from %s\n", className, commandLine.c_str());
            std::exit(1);
        }
        Sleep(1);
    }
}

struct FormReading {
    const char* Resource;
    std::function<TForm*()> Make;
};

const std::vector<FormReading>& SixForms()
{
    static const std::vector<FormReading> forms = {
        {"TForm1", [] { return new TForm1(nullptr); }},  {"TForm2", [] { return new TForm2(nullptr); }},
        {"TForm3", [] { return new TForm3(nullptr); }},  {"TForm4", [] { return new TForm4(nullptr); }},
        {"TForm5", [] { return new TForm5(nullptr); }},  {"TFDIRFORM", [] { return new TFDIRFORM(nullptr); }},
    };
    return forms;
}

// Reads each of the six stored designs once into a new form of its class,
// as the program's start does, and returns the seconds each took.
std::vector<double> ReadSixForms()
{
    std::vector<double> seconds;
    for (const FormReading& f : SixForms()) {
        TForm* form = f.Make();
        const LARGE_INTEGER start = Now();
        ReadFormResource(form, TForm::StaticClassInfo());
        seconds.push_back(Seconds(start, Now()));
        TComponent::Free(form);
    }
    return seconds;
}

int ReadFormsCommand(const char* file)
{
    InitializeFramework();
    const std::vector<double> seconds = ReadSixForms();
    FinalizeFramework();
    std::ofstream out(file);
    for (double s : seconds)
        out << s << "\n";
    return out ? 0 : 1;
}

// earlier: another build of setup.exe (a Windows path), started in turn with
// the two others so that a change of the start-up can be measured side by
// side; empty for none.
int StartupCommand(int runs, const std::string& earlier)
{
    struct Series {
        std::string Name;
        std::string Program;
        std::string Folder;
        const char* ClassName;
        std::vector<double> Seconds;
        int Seen = 0;
    };
    const Distribution dist;
    const std::optional<Distribution> earlierDist =
        earlier.empty() ? std::nullopt : std::optional<Distribution>(std::in_place, earlier);
    std::vector<Series> series = {
        {"setup.exe (splash)", dist.Program(), dist.Folder(), "TForm1", {}},
        {"baseline_window.exe", "\"" + TestProgramFolder() + "baseline_window.exe\"", dist.Folder(), "BaselineWindow",
         {}},
    };
    if (earlierDist)
        series.push_back({"earlier setup.exe (splash)", earlierDist->Program(), earlierDist->Folder(), "TForm1", {}});
    // One start of each first: the platform loads and caches its own parts
    // on the first start of a program.
    for (const Series& s : series)
        TimeToFirstPaint(s.Program, s.Folder, s.ClassName);
    for (int i = 0; i < runs; ++i) {
        for (Series& s : series) {
            const FirstPaint paint = TimeToFirstPaint(s.Program, s.Folder, s.ClassName);
            s.Seconds.push_back(paint.Seconds);
            s.Seen += paint.SeenUnpainted;
        }
    }
    std::printf("Start-up: process start to first paint, %d alternating runs each\n", runs);
    for (const Series& s : series) {
        const std::vector<double>& v = s.Seconds;
        std::printf("  %-30s median %7.1f ms   min %7.1f   max %7.1f   (seen unpainted first: %d of %d)\n",
                    s.Name.c_str(), Median(v) * 1000, *std::min_element(v.begin(), v.end()) * 1000,
                    *std::max_element(v.begin(), v.end()) * 1000, s.Seen, runs);
    }
    std::printf("  ratio setup / baseline         %.2f (goal: at most 1.50)\n",
                Median(series[0].Seconds) / Median(series[1].Seconds));
    if (earlierDist)
        std::printf("  ratio earlier / baseline       %.2f\n  ratio setup / earlier          %.2f\n",
                    Median(series[2].Seconds) / Median(series[1].Seconds),
                    Median(series[0].Seconds) / Median(series[2].Seconds));

    // The reading of the forms, first in fresh processes as at start-up,
    // then again and again in this one.
    std::vector<std::vector<double>> cold(SixForms().size());
    const TempDir scratch;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (int i = 0; i < runs; ++i) {
        const std::string file = scratch / "forms.txt";
        DrivenProcess reader("\"" + std::string(self) + "\" read-forms \"" + file + "\"");
        if (!reader.Started() || reader.WaitForExit(30000) != 0) {
            std::fprintf(stderr, "bench: reading the forms failed\n");
            return 1;
        }
        std::ifstream in(file);
        for (auto& times : cold) {
            double s = 0;
            in >> s;
            times.push_back(s);
        }
    }
    InitializeFramework();
    std::vector<std::vector<double>> warm(SixForms().size());
    for (int i = 0; i < 20; ++i) {
        const std::vector<double> seconds = ReadSixForms();
        for (size_t f = 0; f < seconds.size(); ++f)
            warm[f].push_back(seconds[f]);
    }
    FinalizeFramework();
    std::printf("Reading the six form resources (ms): first read in a fresh process, median of %d;"
                " repeated in one process, median of 20\n",
                runs);
    double coldTotal = 0;
    double warmTotal = 0;
    for (size_t f = 0; f < SixForms().size(); ++f) {
        std::printf("  %-10s first %6.2f   repeated %6.2f\n", SixForms()[f].Resource, Median(cold[f]) * 1000,
                    Median(warm[f]) * 1000);
        coldTotal += Median(cold[f]);
        warmTotal += Median(warm[f]);
    }
    std::printf("  %-10s first %6.2f   repeated %6.2f\n", "all six", coldTotal * 1000, warmTotal * 1000);
    return 0;
}

// The peak working set of a running program, in bytes, or 0.
SIZE_T PeakWorkingSet(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return 0;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    return ok ? counters.PeakWorkingSetSize : 0;
}

int FootprintCommand()
{
    const Distribution dist;
    auto sizeOf = [](const std::string& file) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
        return static_cast<double>(data.nFileSizeLow);
    };
    const double size = sizeOf(DistributedSetup());
    const double linked = sizeOf(BuildFolder() + "setup.exe");
    std::printf("Footprint\n");
    std::printf("  setup.exe size, distributed    %.0f bytes = %.2f MiB (goal: under 1.50 MiB)\n", size,
                size / 1048576);
    std::printf("  setup.exe size, as linked      %.0f bytes = %.2f MiB (with debugging information)\n", linked,
                linked / 1048576);

    // Through the mode choice with Enter (Install is chosen) to the settings.
    DrivenProcess setup(dist.Program(), dist.Folder());
    HWND modeChoice = setup.WaitForWindow("TForm2");
    if (!modeChoice || !setup.WaitForFocusIn(modeChoice))
        return 1;
    setup.PressKey(VK_RETURN);
    if (!setup.WaitForWindow("TForm3", "Installation Settings"))
        return 1;
    // The settings measure the drives once they are shown; let them settle.
    Sleep(500);
    const SIZE_T setupPeak = PeakWorkingSet(setup.ProcessId());

    DrivenProcess baseline("\"" + TestProgramFolder() + "baseline_window.exe\"");
    if (!baseline.WaitForWindow("BaselineWindow"))
        return 1;
    Sleep(500);
    const SIZE_T baselinePeak = PeakWorkingSet(baseline.ProcessId());
    std::printf("  peak working set, settings     %.1f MiB (setup.exe with the installation settings shown)\n",
                static_cast<double>(setupPeak) / 1048576);
    std::printf("  peak working set, baseline     %.1f MiB (baseline_window.exe with its window shown)\n",
                static_cast<double>(baselinePeak) / 1048576);
    return setupPeak && baselinePeak ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Copying and uninstalling at scale

// How long a wait for the program may last in these benchmarks: a 256 MiB
// copy under the platform takes seconds, not minutes.
constexpr DWORD LongWait = 600000;

// Waits, polling every millisecond, for a visible window of the class in the
// program, and returns the seconds from start to the moment it was seen, or
// a negative number when the program ended or the wait ran out first. The
// test support's waits poll every 20 ms, too coarse for these timings.
double SecondsUntilWindow(DrivenProcess& program, const char* className, LARGE_INTEGER start)
{
    for (;;) {
        if (VisibleWindowOf(program.ProcessId(), className))
            return Seconds(start, Now());
        if (!program.Running() || Seconds(start, Now()) * 1000 > LongWait)
            return -1;
        Sleep(1);
    }
}

// file_baseline run on a list file; its own timing of the file operations,
// or a negative number when it failed.
double RunFileBaseline(const char* command, const std::string& listFile, const std::string& resultFile)
{
    DrivenProcess baseline("\"" + TestProgramFolder() + "file_baseline.exe\" " + command + " \"" + listFile + "\" \"" +
                           resultFile + "\"");
    if (!baseline.Started() || baseline.WaitForExit(LongWait) != 0)
        return -1;
    std::ifstream in(resultFile);
    double seconds = -1;
    in >> seconds;
    return seconds;
}

// A distribution of the copy benchmark: the distributed setup.exe, the
// product's files, and a script that names them with their sizes.
class CopyDistribution {
public:
    CopyDistribution(int files, size_t bytes) : m_files(files)
    {
        if (!CopyFileA(DistributedSetup().c_str(), (m_dir / "setup.exe").c_str(), FALSE))
            std::exit(1);
        // The group is named so that the run asks its Start Menu question,
        // which marks the end of the copying.
        std::string script = "T\r\nHalvarn 95\r\nD\r\nC:\\BENCHCOPY\r\nG\r\nHalvarn 95\r\n";
        const std::string content(bytes, 'c');
        for (int i = 0; i < files; ++i) {
            const std::string name = Name(i);
            m_dir.WriteFile(name, content);
            script += "F\r\nD" + name + "{" + std::to_string(bytes) + "\r\n";
        }
        m_dir.WriteFile("setup.fls", script);
    }
    const std::string& Folder() const { return m_dir.Path(); }
    int Files() const { return m_files; }
    static std::string Name(int i) { return "file" + std::to_string(i) + ".dat"; }

private:
    TempDir m_dir;
    int m_files;
};

// One installation run into dest: from the press of Next on the settings to
// the Start Menu question, which the run asks right after the last file
// (the mode choice and the settings before, and the log after, are not
// timed). The question is answered No. Negative when the run failed.
double TimeSetupCopy(const CopyDistribution& dist, const std::string& dest)
{
    RemoveTree(dest);
    SetupSession setup(dist.Folder());
    setup.Choose(true);
    HWND settings = setup.Process().WaitForWindow("TForm3", "Installation Settings");
    if (!settings)
        return -1;
    const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
    if (edits.size() != 1)
        return -1;
    SetTextOf(edits[0], dest);
    const LARGE_INTEGER start = Now();
    ClickButton(settings, "&Next >>");
    const double seconds = SecondsUntilWindow(setup.Process(), "TMessageForm", start);
    HWND question = setup.Process().WaitForWindow("TMessageForm", "Information");
    if (seconds < 0 || !question)
        return -1;
    ClickButton(question, "&No");
    if (setup.Process().WaitForExit(LongWait) != 0)
        return -1;
    // Every file is there, whole.
    for (int i = 0; i < dist.Files(); ++i) {
        WIN32_FILE_ATTRIBUTE_DATA a{}, b{};
        if (!GetFileAttributesExA((dest + CopyDistribution::Name(i)).c_str(), GetFileExInfoStandard, &a) ||
            !GetFileAttributesExA((dist.Folder() + CopyDistribution::Name(i)).c_str(), GetFileExInfoStandard, &b) ||
            a.nFileSizeLow != b.nFileSizeLow || a.nFileSizeHigh != b.nFileSizeHigh)
            return -1;
    }
    return seconds;
}

struct Comparison {
    std::vector<double> Setup;
    std::vector<double> Baseline;
};

void PrintComparison(const char* name, const Comparison& c, double goal)
{
    auto row = [](const char* who, const std::vector<double>& v) {
        std::printf("    %-26s median %9.1f ms   min %9.1f   max %9.1f\n", who, Median(v) * 1000,
                    *std::min_element(v.begin(), v.end()) * 1000, *std::max_element(v.begin(), v.end()) * 1000);
    };
    std::printf("  %s, %zu alternating runs each\n", name, c.Setup.size());
    row("setup.exe", c.Setup);
    row("file_baseline.exe", c.Baseline);
    const double ratio = Median(c.Setup) / Median(c.Baseline);
    std::printf("    ratio setup / baseline     %.2f (goal: at most %.2f: %s)\n", ratio, goal,
                ratio <= goal ? "met" : "NOT met");
}

// How long the copy benchmark lets the host's file system settle (its
// write-back and the freeing of deleted files) before each timed run.
constexpr DWORD SettleMilliseconds = 1500;

struct JournalWork {
    unsigned long Flushes = 0;
    unsigned long Records = 0;
};
JournalWork JournalWorkOfRun(const CopyDistribution& dist, const std::string& dest);

int CopyCommand(int runs)
{
    struct Case {
        const char* Name;
        int Files;
        size_t Bytes;
        double Goal;
    };
    const Case cases[] = {
        {"one file of 256 MiB", 1, size_t(256) << 20, 1.10},
        {"2,000 files of 4 KiB", 2000, 4096, 1.20},
    };
    const TempDir scratch;
    std::printf("Copy: the installation run against CopyFileA, from the press of Next to the question after the"
                " last file\n");
    for (const Case& c : cases) {
        const CopyDistribution dist(c.Files, c.Bytes);
        const std::string setupDest = scratch / "setup-dest\\";
        const std::string baseDest = scratch / "base-dest\\";
        const std::string list = scratch / "copy.list";
        {
            std::ofstream out(list);
            for (int i = 0; i < c.Files; ++i)
                out << dist.Folder() << CopyDistribution::Name(i) << "|" << baseDest << CopyDistribution::Name(i)
                    << "\n";
        }
        Comparison result;
        // One run of each first, not counted: the platform caches the
        // source files and its own parts on the first run.
        // NOTE: each run starts from the same state of the file system: the
        // other's copies deleted and the disk given time to settle. Without
        // this, the host was still writing back and freeing the setup's
        // copies while the baseline ran right after it, and the baseline's
        // time moved with that state.
        for (int i = -1; i < runs; ++i) {
            RemoveTree(baseDest);
            Sleep(SettleMilliseconds);
            const double a = TimeSetupCopy(dist, setupDest);
            RemoveTree(setupDest);
            CreateDirectoryA(baseDest.c_str(), nullptr);
            Sleep(SettleMilliseconds);
            const double b = RunFileBaseline("copy", list, scratch / "copy.result");
            if (a < 0 || b < 0) {
                std::fprintf(stderr, "bench: a copy run of %s failed\n", c.Name);
                return 1;
            }
            if (i >= 0) {
                result.Setup.push_back(a);
                result.Baseline.push_back(b);
            }
        }
        RemoveTree(setupDest);
        RemoveTree(baseDest);
        PrintComparison(c.Name, result, c.Goal);
        const JournalWork journal = JournalWorkOfRun(dist, setupDest);
        RemoveTree(setupDest);
        std::printf("    journal flushes per run    %lu (of %lu records; the same run inside this process)\n",
                    journal.Flushes, journal.Records);
    }
    // What the run costs with nothing to copy: the progress form shown and
    // the question asked. It is part of every figure above.
    const CopyDistribution none(0, 0);
    std::vector<double> fixed;
    for (int i = -1; i < runs; ++i) {
        const double a = TimeSetupCopy(none, scratch / "setup-dest\\");
        if (a < 0)
            return 1;
        if (i >= 0)
            fixed.push_back(a);
    }
    std::printf("  the run with no file to copy (its fixed part)  median %.1f ms   min %.1f   max %.1f\n",
                Median(fixed) * 1000, *std::min_element(fixed.begin(), fixed.end()) * 1000,
                *std::max_element(fixed.begin(), fixed.end()) * 1000);
    return 0;
}

// A distribution of the uninstall benchmark: the distributed setup.exe and a
// log beside it naming count files of a destination folder.
class UninstallDistribution {
public:
    UninstallDistribution()
    {
        if (!CopyFileA(DistributedSetup().c_str(), (m_dir / "setup.exe").c_str(), FALSE))
            std::exit(1);
        m_dir.WriteFile("setup.fls", "T\r\nHalvarn 95\r\nD\r\nC:\\BENCHUNINST\r\n");
    }
    const std::string& Folder() const { return m_dir.Path(); }

    // Makes count files below dest and a log naming them, and a list of them
    // for the baseline. The files lie in folders of 1,000 each: under Wine
    // a new file costs time that grows with the number of files already in
    // its folder (the folder is searched for a name that differs only in
    // case), which made laying 100,000 files in one folder take most of an
    // hour.
    void Lay(const std::string& dest, int count, const std::string& listFile) const
    {
        CreateDirectoryA(dest.c_str(), nullptr);
        std::string log;
        std::ofstream list(listFile);
        for (int i = 0; i < count; ++i) {
            const std::string folder = dest + "part" + std::to_string(i / 1000) + "\\";
            if (i % 1000 == 0)
                CreateDirectoryA(folder.c_str(), nullptr);
            const std::string file = folder + "item" + std::to_string(i) + ".dat";
            HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(h);
            log += "F\r\n" + file + "\r\n";
            list << file << "\n";
        }
        m_dir.WriteFile("uninst.fls", log);
    }

private:
    TempDir m_dir;
};

// Select All and Uninstall: from the press of Select All to the message
// that the uninstallation is complete. Negative when it failed. The listing
// before it, from the choice of Uninstall to the complete list, goes into
// listing.
double TimeUninstall(const UninstallDistribution& dist, int count, double& listing)
{
    SetupSession setup(dist.Folder());
    LARGE_INTEGER chosen = Now();
    setup.Choose(false, [&chosen](HWND) { chosen = Now(); });
    // The form reads the log while it is being shown: with thousands of
    // records that takes longer than the support's waits, so the list's
    // count is asked until it is complete.
    HWND form = setup.Process().WaitForWindow("TForm4", "Select Items to Uninstall", LongWait);
    if (!form)
        return -1;
    const LARGE_INTEGER shown = Now();
    DWORD_PTR lines = 0;
    while (static_cast<int>(lines) != count && Seconds(shown, Now()) * 1000 < LongWait) {
        Sleep(1);
        SendMessageTimeoutA(SetupSession::List(form), LB_GETCOUNT, 0, 0, SMTO_NORMAL, LongWait, &lines);
    }
    listing = Seconds(chosen, Now());
    if (static_cast<int>(lines) != count || !setup.Process().WaitForFocusIn(form, LongWait))
        return -1;
    // Both buttons are found first: while the program selects and removes
    // lines it answers no questions about its windows.
    HWND selectAll = FindChildWindow(form, "Select All");
    HWND uninstall = FindChildWindow(form, "Uninstall");
    if (!selectAll || !uninstall)
        return -1;
    const LARGE_INTEGER start = Now();
    PostMessageA(selectAll, BM_CLICK, 0, 0);
    PostMessageA(uninstall, BM_CLICK, 0, 0);
    const double seconds = SecondsUntilWindow(setup.Process(), "TMessageForm", start);
    HWND complete = setup.Process().WaitForWindow("TMessageForm", "Information");
    if (seconds < 0 || !complete)
        return -1;
    ClickButton(complete, "OK");
    return setup.Process().WaitForExit(LongWait) == 0 ? seconds : -1;
}

int UninstallCommand(int runs)
{
    const UninstallDistribution dist;
    const TempDir scratch;
    const std::string dest = scratch / "dest\\";
    const std::string list = scratch / "delete.list";
    const int counts[] = {1000, 10000, 100000};
    Comparison results[3];
    std::vector<double> listings[3];
    std::printf("Uninstall: Select All and Uninstall against DeleteFileA, from the press of Select All to"
                " \"Uninstall is Complete\"\n");
    for (int c = 0; c < 3; ++c) {
        // The largest log is run once: one run takes minutes.
        const int sizeRuns = counts[c] > 10000 ? 1 : runs;
        for (int i = counts[c] > 10000 ? 0 : -1; i < sizeRuns; ++i) {
            dist.Lay(dest, counts[c], list);
            double listing = 0;
            const double a = TimeUninstall(dist, counts[c], listing);
            dist.Lay(dest, counts[c], list);
            const double b = RunFileBaseline("delete", list, scratch / "delete.result");
            if (a < 0 || b < 0) {
                std::fprintf(stderr, "bench: an uninstall run of %d records failed\n", counts[c]);
                return 1;
            }
            if (i >= 0) {
                results[c].Setup.push_back(a);
                results[c].Baseline.push_back(b);
                listings[c].push_back(listing);
            }
        }
        const std::string name = std::to_string(counts[c]) + " F records";
        PrintComparison(name.c_str(), results[c], 2.0);
        std::printf("    listing before it          median %9.1f ms\n", Median(listings[c]) * 1000);
    }
    const double growth = Median(results[1].Setup) / Median(results[0].Setup);
    std::printf("  growth 10,000 / 1,000 records, Select All to the end   %.2f (goal: at most 12: %s)\n", growth,
                growth <= 12 ? "met" : "NOT met");
    const double whole10 = Median(results[1].Setup) + Median(listings[1]);
    const double whole100 = Median(results[2].Setup) + Median(listings[2]);
    const double largeGrowth = whole100 / whole10;
    std::printf("  growth 100,000 / 10,000 records, listed and removed  %.2f (goal: at most 12: %s)\n", largeGrowth,
                largeGrowth <= 12 ? "met" : "NOT met");
    RemoveTree(dest);
    return 0;
}

// ---------------------------------------------------------------------------
// Where the time goes: the parts of the uninstall and of the copy, each
// timed on its own inside this process with the setup's own forms and
// procedures, so that the figures of the two benchmarks above can be read.

template <class Body>
double Time(Body body)
{
    const LARGE_INTEGER start = Now();
    body();
    return Seconds(start, Now());
}

// The setup's five forms made in this process as the program makes them,
// with the setup state's folders found as the splash finds them, the
// program's folder at dir and the product's destination at dest.
class InProcessSetup {
public:
    InProcessSetup(const std::string& dir, const std::string& dest)
    {
        StartSetupForms(State);
        Form1->GetDirectories();
        State.ExeDir = dir;
        State.SourceDir = UpperCaseAscii(dir);
        State.DestDir = dest;
        State.ProductTitle = "Halvarn 95";
    }
    ~InProcessSetup() { EndSetupForms(); }
    InProcessSetup(const InProcessSetup&) = delete;
    InProcessSetup& operator=(const InProcessSetup&) = delete;

    SetupState State;
};

// The journal's work in one installation run of the distribution into dest,
// made inside this process by the run setup.exe makes, the Start Menu
// question answered No: the times it waited for the disk (FlushFileBuffers)
// and the records it wrote. setup.exe counts them too but does not tell.
// Reads the distribution's script into the state, for runs into dest that
// do not start the product.
void PrepareInProcessRun(SetupState& state, const std::string& dest)
{
    state.Script = SetupScript();
    ReadSetupFile(state);
    state.DestDir = dest;
    state.Switches.NoLaunch = true;
}

// One run of the state's script, into a destination that is not there.
JournalWork RunInProcess(const SetupState& state)
{
    ScriptedPrompts prompts;
    InstallRun run(state, prompts);
    if (!run.Execute() || !run.Completed()) {
        std::fprintf(stderr, "bench: the run inside this process did not complete\n");
        std::exit(1);
    }
    return {run.JournalFlushes(), run.JournalRecords()};
}

JournalWork JournalWorkOfRun(const CopyDistribution& dist, const std::string& dest)
{
    RemoveTree(dest);
    InProcessSetup setup(dist.Folder(), dest);
    PrepareInProcessRun(setup.State, dest);
    return RunInProcess(setup.State);
}

// Paints now whatever of the window and its children waits to be painted.
void PaintNow(TWinControl* control)
{
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The names of the files that UninstallDistribution::Lay listed.
std::vector<std::string> ListedNames(const std::string& listFile)
{
    std::vector<std::string> names;
    std::ifstream in(listFile);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

void PartRow(const char* name, double seconds, double whole = 0)
{
    if (whole > 0)
        std::printf("    %-58s %9.1f ms  (%4.1f %%)\n", name, seconds * 1000, 100 * seconds / whole);
    else
        std::printf("    %-58s %9.1f ms\n", name, seconds * 1000);
}

void UninstallParts(int count)
{
    const UninstallDistribution dist;
    const TempDir scratch;
    const std::string dest = scratch / "dest\\";
    const std::string list = scratch / "delete.list";
    dist.Lay(dest, count, list);
    const std::vector<std::string> names = ListedNames(list);
    InProcessSetup setup(dist.Folder(), dest);

    const double listing = Time([] {
        Form4->Show();
        PaintNow(Form4);
    });
    const SetupState& state = setup.State;
    const double gathering = Time([&] {
        ProtectedFolders(state).Protects(dest);
    });
    const double reading = Time([&] {
        ReadLogRecords(dist.Folder() + "uninst.fls");
    });
    const double checking = Time([&] {
        for (const std::string& name : names)
            FileIsPresent(name);
    });
    const double filling = Time([&] {
        TStrings& lines = *Form4->ListBox1->Items();
        {
            TStringsUpdate update(lines);
            lines.Clear();
            for (const std::string& name : names)
                lines.Add("File - " + name);
        }
        PaintNow(Form4);
    });
    const double selecting = Time([] {
        Form4->Button4Click(Form4->Button4);
        PaintNow(Form4);
    });
    double removing = 0;
    {
        MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("OK"); }, 1);
        removing = Time([] { Form4->Button1Click(Form4->Button1); });
    }
    double message = 0;
    {
        MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("OK"); }, 1);
        message = Time([] { ShowMessageDialog("Uninstall is Complete", MessageKind::Information, {mbOK}, 0); });
    }
    dist.Lay(dest, count, list);
    const double shell = Time([&] {
        for (const std::string& name : names)
            Form4->DeletePro(name);
    });
    dist.Lay(dest, count, list);
    const double plain = Time([&] {
        for (const std::string& name : names)
            DeleteFileA(name.c_str());
    });
    RemoveTree(dest);

    std::printf("  %d F records\n", count);
    PartRow("listing: the form shown, the log read, the list drawn", listing);
    PartRow("  reading the records alone", reading, listing);
    PartRow("  the existence of every file (FileIsPresent)", checking, listing);
    PartRow("  the list box cleared, filled and drawn", filling, listing);
    PartRow("  the protected folders gathered and asked once", gathering);
    PartRow("Select All, the list drawn", selecting);
    PartRow("Uninstall pressed to \"Uninstall is Complete\" answered", removing);
    PartRow("  DeletePro of every file alone (the shell's operation)", shell, removing);
    PartRow("  the closing message alone, shown and answered", message, removing);
    PartRow("  the rest: the list work", removing - shell - message, removing);
    PartRow("DeleteFileA of every file (the baseline's work)", plain);
    std::printf("    %-58s %9.2f\n", "ratio (Select All + Uninstall) / DeleteFileA", (selecting + removing) / plain);
}

// Copies a file by a plain loop of ReadFile and WriteFile of pieces of the
// given size.
void PlainCopy(const std::string& source, const std::string& target, int64_t piece)
{
    const FileHandle in(
        CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const FileHandle out(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<char> buffer(static_cast<size_t>(piece));
    DWORD got = 0;
    DWORD wrote = 0;
    while (ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0 &&
           WriteFile(out.Get(), buffer.data(), got, &wrote, nullptr)) {
    }
}

// The copy of one file by the system, by plain loops of the largest piece
// allowed and of the stream copy's piece, by the setup's streams, and by the installation run's
// CopyOneFile, in turn, runs times each after one of each not counted.
void CopyParts(int files, size_t bytes, int runs)
{
    const CopyDistribution dist(files, bytes);
    const TempDir scratch;
    InProcessSetup setup(dist.Folder(), scratch.Path());
    DialogPrompts prompts;
    InstallRun installRun(setup.State, prompts);
    auto source = [&](int i) { return dist.Folder() + CopyDistribution::Name(i); };
    auto target = [&](int i) { return scratch / CopyDistribution::Name(i); };
    auto clear = [&] {
        for (int i = 0; i < files; ++i)
            DeleteFileA(target(i).c_str());
    };
    const std::vector<std::pair<const char*, std::function<void(int)>>> ways = {
        {"CopyFileA", [&](int i) { CopyFileA(source(i).c_str(), target(i).c_str(), FALSE); }},
        {"ReadFile and WriteFile of 61,440 bytes", [&](int i) { PlainCopy(source(i), target(i), CopyBufferSize); }},
        {"ReadFile and WriteFile of 32,768 bytes", [&](int i) { PlainCopy(source(i), target(i), CopyPieceSize); }},
        {"file streams and CopyStreamData",
         [&](int i) {
             TFileStream in(source(i), FileStreamMode::OpenRead);
             TFileStream out(target(i), FileStreamMode::Create);
             CopyStreamData(out, in, 0);
         }},
        {"CopyOneFile of the installation run", [&](int i) { installRun.CopyOneFile(source(i), target(i)); }},
    };
    std::vector<std::vector<double>> seconds(ways.size());
    for (int run = -1; run < runs; ++run) {
        for (size_t w = 0; w < ways.size(); ++w) {
            clear();
            const double s = Time([&] {
                for (int i = 0; i < files; ++i)
                    ways[w].second(i);
            });
            if (run >= 0)
                seconds[w].push_back(s);
        }
    }
    clear();
    // The run made its journal at its first copy; nothing of it is left.
    installRun.TakeBack();
    // The whole run as setup.exe makes it, its journal written in batches,
    // without the forms: the copy, the log and the journal's end.
    std::vector<double> whole;
    JournalWork journal;
    const std::string runDest = scratch / "run\\";
    PrepareInProcessRun(setup.State, runDest);
    for (int run = -1; run < runs; ++run) {
        RemoveTree(runDest);
        const double s = Time([&] { journal = RunInProcess(setup.State); });
        if (run >= 0)
            whole.push_back(s);
    }
    RemoveTree(runDest);
    std::printf("  %d file%s of %zu bytes, medians of %d runs\n", files, files == 1 ? "" : "s", bytes, runs);
    for (size_t w = 0; w < ways.size(); ++w)
        std::printf("    %-58s %9.1f ms  (%.2f x CopyFileA)\n", ways[w].first, Median(seconds[w]) * 1000,
                    Median(seconds[w]) / Median(seconds[0]));
    std::printf("    %-58s %9.1f ms  (%.2f x CopyFileA)\n", "the installation run's Execute, without the forms",
                Median(whole) * 1000, Median(whole) / Median(seconds[0]));
    std::printf("    %-58s %9lu\n", "  its journal's flushes", journal.Flushes);
    const SetupState& state = setup.State;
    PartRow("the protected folders gathered and asked once", Time([&] { ProtectedFolders(state).Keeps(runDest); }));
}

int PartsCommand(int runs, int largest)
{
    std::printf("Where the time goes, each part timed on its own inside one process (ms)\n");
    std::printf("Uninstall: the setup's uninstall form on logs of F records, then each part alone\n");
    for (int count : {1000, 10000, 100000}) {
        if (count <= largest)
            UninstallParts(count);
    }
    std::printf("Copy: one file copied by the system, by a plain loop, and by the setup's streams\n");
    CopyParts(1, size_t(256) << 20, runs);
    CopyParts(2000, 4096, runs);
    std::printf("The user interface's part of the installation run is the run with no file to copy"
                " (scripts/bench.sh copy).\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "startup")
        return StartupCommand(argc > 2 ? std::max(1, std::atoi(argv[2])) : 15, argc > 3 ? argv[3] : "");
    if (command == "footprint")
        return FootprintCommand();
    if (command == "read-forms" && argc > 2)
        return ReadFormsCommand(argv[2]);
    if (command == "copy")
        return CopyCommand(argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
    if (command == "uninstall")
        return UninstallCommand(argc > 2 ? std::max(1, std::atoi(argv[2])) : 3);
    if (command == "parts")
        return PartsCommand(argc > 2 ? std::max(1, std::atoi(argv[2])) : 3, argc > 3 ? std::atoi(argv[3]) : 100000);
    std::fprintf(stderr, "usage: bench startup [runs [earlier-setup.exe]] | footprint | copy [runs] | uninstall [runs] |"
                         " parts [runs] | read-forms FILE\n");
    return 2;
}
