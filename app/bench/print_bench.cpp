// Timings of whole jobs under Wine, on the test bed's file printer, measured
// against the floor of its printer driver: every code printed directly without
// and with annotation, each job alternating with the floor (floor_job.h: the
// same pages printed with plain GDI, in this same process). Each job's figures
// are printed as a line (floor_turns.h) from which floor_ratios takes the
// ratios, over this session or over two that ran side by side. Then one
// preview page recorded and played by the preview's own code, and page turns
// through every annotated page of the real preview with the GDI objects and
// the memory of the process watched.
//
// The floor runs in this process rather than in one of its own because under
// Wine the driver's cost depends on where the process heap happens to put a
// block the driver allocates and frees for every glyph it shows: a few
// kilobytes more or less in front of it change how many of its pages are
// committed afresh each time, by some per cent of a job, in a process printing
// the very same calls. In one process, program and floor fault alike.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/bench/floor_job.h"
#include "app/bench/floor_turns.h"
#include "app/bench/session_usage.h"
#include "app/kestra_app.h"
#include "app/kestra_doc.h"
#include "app/main_frame.h"
#include "app/tests/sample_choices.h"
#include "eudc/app_state.h"
#include "fw/dc.h"
#include "fw/doc_template.h"
#include "fw/fw_ids.h"
#include "fw/preview/preview_pages.h"
#include "fw/preview/preview_session.h"
#include "fw/preview/tests/gdi_object_counter.h"
#include "fw/print_info.h"
#include "fw/tests/wine_test_support.h"
#include "print/kestra_view.h"
#include "res/resource.h"

namespace {

using kestra::appState;

// The short job takes more turns than the long one, whose turns cost most.
// Both are held to the time the session is given, past their least turns.
floorbench::TurnRule g_shortJobTurns{2, 6, floorbench::kSpreadLimit};
floorbench::TurnRule g_longJobTurns{2, 4, floorbench::kSpreadLimit};

struct SessionOptions {
    std::string tag = "1"; // tells this session's job lines from another's
    bool jobsOnly = false;
    double budgetMs = 1e9;
    std::string readyFile, goFile; // Linux paths
};
SessionOptions g_options;
constexpr double kPreviewPageTargetMs = 50;
// Growth over all page turns still called flat: the heap settles in steps.
constexpr long long kMemoryToleranceBytes = 2 << 20;

double nowMs() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double timeOf(const std::function<void()>& work) {
    const double start = nowMs();
    work();
    return nowMs() - start;
}

struct Spread {
    double median, min, max;
};

Spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {floorbench::medianOf(times), times.front(), times.back()};
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Runs `work` `runs` times and prints median, fastest and slowest.
void measure(const char* name, int runs, double targetMs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timeOf(work));
    const Spread s = spreadOf(times);
    printf("%-28s median %9.2f ms  min %9.2f  max %9.2f  (%d runs, target %.0f ms: %s)\n", name,
           s.median, s.min, s.max, runs, targetMs, verdict(s.median <= targetMs));
    fflush(stdout);
}

// Keeps the job just printed as KESTRA_TEST_OUTPUT/<name>.ps, for the page
// by page comparison after Wine exits.
void keepJob(const std::string& name) {
    const std::string out = testsupport::environment("KESTRA_TEST_OUTPUT");
    if (out.empty())
        return;
    const std::string kept = testsupport::dosPath(out + "/" + name + ".ps");
    if (!CopyFileA(testsupport::printerOutputPath().c_str(), kept.c_str(), FALSE))
        printf("%s: the job was not written\n", name.c_str());
}

// The machine's load averages over 1, 5 and 15 minutes, read through Wine's
// view of the Linux file system; "?" elsewhere.
std::string machineLoad() {
    char text[64] = {};
    FILE* file = fopen("Z:\\proc\\loadavg", "r");
    const bool read = file && fscanf(file, "%15s %15s %15s", text, text + 16, text + 32) == 3;
    if (file)
        fclose(file);
    return read ? std::string(text) + " " + (text + 16) + " " + (text + 32) : "?";
}

// The program's job and the floor's, in turns, until the turn-by-turn ratios
// agree or `budgetMs` is spent; which goes first alternates, so a machine
// growing busier weighs on both alike. The first job of each is kept for the
// page comparison. Beside the wall time, each job's CPU time and page faults
// are summed over every process of the session: what the job cost, however
// busy the machine.
void compareWithFloor(const char* name, const char* jobName, const floorbench::Job& floorJob,
                      const floorbench::TurnRule& rule, double budgetMs,
                      const sessionusage::Session& session,
                      const std::function<void()>& programJob) {
    const double startMs = nowMs();
    floorbench::TurnTimes wall, cpu, faults;
    // One job; its figures go to the program's side or the floor's.
    const auto measure = [&](bool program, const std::function<double()>& job) {
        const sessionusage::Sample before = session.Take();
        const double wallMs = job();
        const sessionusage::Usage used = sessionusage::usageBetween(before, session.Take());
        if (wallMs < 0)
            return false;
        const auto side = [program](floorbench::TurnTimes& t) -> std::vector<double>& {
            return program ? t.program : t.floor;
        };
        side(wall).push_back(wallMs);
        side(cpu).push_back(used.cpuMs);
        side(faults).push_back(used.minorFaults);
        printf("%s\n", floorbench::jobLine(
                           {g_options.tag, name, program, wallMs, used.cpuMs, used.minorFaults})
                           .c_str());
        return true;
    };
    const auto runProgram = [&] {
        measure(true, [&] { return timeOf(programJob); });
        if (wall.program.size() == 1)
            keepJob(std::string("program-") + jobName);
    };
    const auto runFloor = [&] {
        const auto floorJobMs = [&] {
            bool printed = false;
            const double ms = timeOf(
                [&] { printed = floorbench::printJob(floorJob, floorbench::ObjectLifetime::Job); });
            return printed ? ms : -1;
        };
        if (!measure(false, floorJobMs))
            return false;
        if (wall.floor.size() == 1)
            keepJob(std::string("floor-") + jobName);
        return true;
    };
    const std::string loadBefore = machineLoad();
    while (floorbench::wantsAnotherTurn(wall, rule, budgetMs - (nowMs() - startMs))) {
        const bool programFirst = wall.program.size() % 2 == 0;
        if (programFirst)
            runProgram();
        if (!runFloor()) {
            printf("%-28s the floor's job failed\n", name);
            return;
        }
        if (!programFirst)
            runProgram();
    }
    const floorbench::RatioFigures cpuFigures = floorbench::ratioOf(cpu);
    const Spread p = spreadOf(wall.program), f = spreadOf(wall.floor);
    printf("%-28s program median %9.2f ms (%.0f-%.0f), floor median %9.2f ms (%.0f-%.0f, "
           "%.0f ms a page), %zu turns\n",
           name, p.median, p.min, p.max, f.median, f.min, f.max,
           f.median / static_cast<double>(floorJob.size()), floorbench::turnsOf(wall));
    printf("%-28s CPU of the session: program %.0f ms, floor %.0f ms, ratio %.3f (spread %.3f); "
           "page faults: program %.0f, floor %.0f\n",
           name, floorbench::medianOf(cpu.program), floorbench::medianOf(cpu.floor),
           cpuFigures.ratio, cpuFigures.spread, floorbench::medianOf(faults.program),
           floorbench::medianOf(faults.floor));
    printf("load|%s|%s|%s|%s\n", g_options.tag.c_str(), name, loadBefore.c_str(),
           machineLoad().c_str());
    fflush(stdout);
}

// One preview page as the preview shows it: recorded through OnPrepareDC and
// OnPrint into a metafile on the printer, then played onto a screen bitmap.
void benchPreviewPage(CKestraView* view) {
    CPrintInfo info;
    info.m_bPreview = TRUE;
    info.m_pPD->hDC = testsupport::createDefaultPrinterDc();
    if (!info.m_pPD->hDC) {
        printf("preview page: no default printer\n");
        return;
    }
    {
        CDC dc;
        dc.SetOutputDC(info.m_pPD->hDC);
        dc.SetAttribDC(info.m_pPD->hDC);
        dc.SetPrinting(TRUE);
        view->OnBeginPrinting(&dc, &info);
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 480, 690);
    ReleaseDC(nullptr, screen);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    const RECT sheet{0, 0, 480, 690};
    PreviewPages pages(view, &info);
    UINT page = 1;
    int missing = 0;
    measure("preview page, record", 21, kPreviewPageTargetMs, [&] {
        pages.Clear();
        missing += pages.Page(page) == nullptr;
    });
    measure("preview page, play", 21, kPreviewPageTargetMs, [&] {
        PatBlt(memory, 0, 0, 480, 690, WHITENESS);
        PlayEnhMetaFile(memory, pages.Page(page), &sheet);
        GdiFlush();
    });
    measure("preview page, both", 21, kPreviewPageTargetMs, [&] {
        pages.Clear();
        PatBlt(memory, 0, 0, 480, 690, WHITENESS);
        PlayEnhMetaFile(memory, pages.Page(page), &sheet);
        GdiFlush();
        page = page % 32 + 1;
    });
    if (missing)
        printf("preview page: %d pages could not be recorded\n", missing);
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    view->OnEndPrinting(nullptr, &info);
}

struct ProcessSample {
    UINT page;
    int gdiObjects; // counted by our own import hooks
    DWORD guiResources;
    long long workingSet;
    long long privateBytes;
};

// Private bytes are the commit charge, PagefileUsage: Wine leaves the
// newer PrivateUsage field at 0.
ProcessSample sampleProcess(UINT page) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return {page, gdi_counter::LiveObjects(), testsupport::gdiObjectCount(),
            static_cast<long long>(memory.WorkingSetSize),
            static_cast<long long>(memory.PagefileUsage)};
}

void printSample(const ProcessSample& s) {
    printf("  page %3u: GDI objects %4d (GetGuiResources %lu), working set %8.1f MB, private "
           "%8.1f MB\n",
           s.page, s.gdiObjects, static_cast<unsigned long>(s.guiResources),
           static_cast<double>(s.workingSet) / 1048576.0,
           static_cast<double>(s.privateBytes) / 1048576.0);
}

void printGrowth(const ProcessSample& first, const ProcessSample& last) {
    const int gdiGrowth = last.gdiObjects - first.gdiObjects;
    const long long privateGrowth = last.privateBytes - first.privateBytes;
    const long long workingGrowth = last.workingSet - first.workingSet;
    printf(
        "  growth pages %u-%u: GDI objects %+d (flat: %s), private %+.2f MB, working set %+.2f "
        "MB (flat within %.0f MB: %s)\n",
        first.page, last.page, gdiGrowth, verdict(gdiGrowth <= 0),
        static_cast<double>(privateGrowth) / 1048576.0,
        static_cast<double>(workingGrowth) / 1048576.0,
        static_cast<double>(kMemoryToleranceBytes) / 1048576.0,
        verdict(privateGrowth <= kMemoryToleranceBytes && workingGrowth <= kMemoryToleranceBytes));
}

// The preview runs its own message loop; the turns run inside it.
std::function<void()> g_script;
void CALLBACK runScript(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto script = std::move(g_script))
        script();
}

// Every page of the job, turned with the preview bar's Next button, one page
// at a time. The first sample is taken on page 2, once both pictures the
// preview keeps are in use.
void turnThroughPreview(CKestraApp& app, HWND frame) {
    app.SetPreviewPageCount(1);
    std::vector<double> turns;
    std::vector<ProcessSample> samples;
    UINT lastPage = 0;
    g_script = [&] {
        PreviewSession* session = PreviewSession::Current();
        if (!session)
            return;
        HWND pages = session->Pages().m_hWnd;
        HWND next = GetDlgItem(session->Bar(), AFX_ID_PREVIEW_NEXT);
        lastPage = session->Pages().LastPage();
        while (session->Pages().CanGoNext()) {
            turns.push_back(timeOf([&] {
                SendMessageA(next, BM_CLICK, 0, 0);
                RedrawWindow(pages, nullptr, nullptr, RDW_UPDATENOW);
            }));
            const UINT page = session->Pages().CurrentPage();
            if (page == 2 || page % 50 == 0 || page == lastPage)
                samples.push_back(sampleProcess(page));
        }
        SendMessageA(GetDlgItem(session->Bar(), AFX_ID_PREVIEW_CLOSE), BM_CLICK, 0, 0);
    };
    SetTimer(nullptr, 0, 10, runScript);
    SendMessageA(frame, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    g_script = nullptr;
    if (turns.empty() || samples.size() < 2) {
        printf("preview page turns: the preview did not turn its pages\n");
        return;
    }
    const Spread s = spreadOf(turns);
    printf("%-28s median %9.2f ms  min %9.2f  max %9.2f  (%zu turns to page %u, target %.0f ms: "
           "%s)\n",
           "preview page turn", s.median, s.min, s.max, turns.size(), lastPage,
           kPreviewPageTargetMs, verdict(s.median <= kPreviewPageTargetMs));
    for (const ProcessSample& sample : samples)
        printSample(sample);
    printGrowth(samples.front(), samples.back());
    fflush(stdout);
}

// Tells the caller this session is ready, and waits until told to go: a
// session starting up beside another's first job would weigh on it alone.
void startWhenTold() {
    if (g_options.readyFile.empty() || g_options.goFile.empty())
        return;
    const std::string ready = testsupport::dosPath(g_options.readyFile);
    const std::string go = testsupport::dosPath(g_options.goFile);
    HANDLE file = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        printf("could not say the session is ready: starting at once\n");
        return;
    }
    CloseHandle(file);
    // Long enough for the slowest session beside it to start.
    constexpr DWORD kMostWaitMs = 10 * 60 * 1000;
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(go.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > kMostWaitMs) {
            printf("not told to go within %lu s: starting\n",
                   static_cast<unsigned long>(kMostWaitMs / 1000));
            return;
        }
        Sleep(50);
    }
    printf("told to go after %.1f s: the jobs start\n", (GetTickCount() - start) / 1000.0);
}

} // namespace

// Arguments:
//   --jobs-only       leaves out the preview's figures
//   --session TAG     tells this session's job lines from another's (default 1)
//   --side-by-side    the session runs beside another doing the same, their
//                     turns taken together: each takes at least one turn a
//                     job and at most half as many as a session alone
//   --ready-file F --go-file G
//                     once its pages are recorded the session makes F and
//                     waits for G before its first job, so that two sessions
//                     side by side start their jobs together
//   --budget-s S      the time the jobs may take, their least turns apart: a
//                     third of it for the short job, the rest for the long one
void readOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--jobs-only") == 0)
            g_options.jobsOnly = true;
        else if (std::strcmp(argv[i], "--session") == 0 && hasValue)
            g_options.tag = argv[++i];
        else if (std::strcmp(argv[i], "--side-by-side") == 0) {
            g_shortJobTurns = {1, g_shortJobTurns.mostTurns / 2, floorbench::kSpreadLimit};
            g_longJobTurns = {1, g_longJobTurns.mostTurns / 2, floorbench::kSpreadLimit};
        } else if (std::strcmp(argv[i], "--ready-file") == 0 && hasValue)
            g_options.readyFile = argv[++i];
        else if (std::strcmp(argv[i], "--go-file") == 0 && hasValue)
            g_options.goFile = argv[++i];
        else if (std::strcmp(argv[i], "--budget-s") == 0 && hasValue)
            g_options.budgetMs = 1000.0 * std::max(0.0, std::atof(argv[++i]));
    }
}

int main(int argc, char** argv) {
    readOptions(argc, argv);
    if (!gdi_counter::Install())
        printf("GDI objects will not be counted\n");
    static CKestraApp theApp;
    theApp.InitApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    theApp.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CKestraDoc),
                                                 RUNTIME_CLASS(CMainFrame),
                                                 RUNTIME_CLASS(CKestraView)));
    if (!theApp.GetDocTemplate()->OpenDocumentFile(nullptr, FALSE)) {
        printf("no main frame\n");
        return 1;
    }
    auto* frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
    auto* view = frame ? dynamic_cast<CKestraView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        printf("no view\n");
        return 1;
    }
    // On screen as the user has it, so the preview paints its pages.
    SetWindowPos(frame->m_hWnd, HWND_TOP, 0, 0, 1000, 760, SWP_SHOWWINDOW);
    // The floor's pages, recorded before any timing as the floor's own.
    HDC printer = testsupport::createDefaultPrinterDc();
    if (!printer) {
        printf("no default printer\n");
        return 1;
    }
    programtest::chooseFace(kestra::kEudcCodeCount);
    const floorbench::Job plain = floorbench::recordJob(printer);
    programtest::annotateWithPhoneticAndCangjie();
    const floorbench::Job annotated = floorbench::recordJob(printer);
    DeleteDC(printer);
    appState.annotate[0] = appState.annotate[1] = 0;
    printf("floor: %zu and %zu pages recorded (plain, annotated)\n", plain.size(),
           annotated.size());
    sessionusage::Session session;
    session.FindProcesses();
    printf("session: %zu processes\n", session.ProcessCount());
    const auto printDirect = [&] {
        SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    };
    startWhenTold();
    const double jobsStartMs = nowMs();
    compareWithFloor("print 32 pages", "plain", plain, g_shortJobTurns, g_options.budgetMs / 3,
                     session, printDirect);
    programtest::annotateWithPhoneticAndCangjie();
    compareWithFloor("print 223 annotated pages", "annotated", annotated, g_longJobTurns,
                     g_options.budgetMs - (nowMs() - jobsStartMs), session, printDirect);
    // The preview comes after the jobs, whose figures would otherwise carry
    // the heap its recordings leave.
    if (!g_options.jobsOnly) {
        turnThroughPreview(theApp, frame->m_hWnd);
        appState.annotate[0] = appState.annotate[1] = 0;
        benchPreviewPage(view);
    }
    theApp.AddDocTemplate(nullptr);
    return 0;
}
