// ktbench: each of the program's costly pieces of work against a raw loop
// of the Win32 calls it cannot do without, on the same data in one run.
// Usage: ktbench [rounds [group [-v]]] (default 9 rounds; the groups are
// dialog, scan, servers, tools, moves, help and startup, default all; -v
// prints each run's time). Prints one row per case and the growth of the
// scan from 200 to 2,000 modules.
#include "bench/bench_cases.h"
#include "bench/bench_world.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kt_bench;

namespace {

constexpr int kDefaultRounds = 9;
// Per-item time at 2,000 modules over that at 200: what still counts as
// linear on a shared machine.
constexpr double kLinearGrowth = 1.2;

int missed = 0;

bool Wanted(const char* only, const char* group) {
    return !only || std::strcmp(only, group) == 0;
}

void PrintRow(const TResult& result) {
    // A row without a goal is a bound for the rows before it.
    if (result.goal <= 0) {
        std::printf("%-34s %10.2f %10.2f %7.3f %6s  %s\n", result.name.c_str(), result.program,
                    result.raw, result.Ratio(), "-", "bound");
        std::fflush(stdout);
        return;
    }
    bool met = result.Ratio() <= result.goal;
    if (!met)
        ++missed;
    std::printf("%-34s %10.2f %10.2f %7.3f %6.2f  %s\n", result.name.c_str(), result.program,
                result.raw, result.Ratio(), result.goal, met ? "met" : "MISSED");
    std::fflush(stdout);
}

TResult Run(std::unique_ptr<TBenchCase> benchCase, int rounds) {
    TResult result = Measure(*benchCase, rounds);
    PrintRow(result);
    return result;
}

void PrintGrowth(const TResult& small, int smallCount, const TResult& large, int largeCount) {
    double programGrowth = (large.program / largeCount) / (small.program / smallCount);
    double rawGrowth = (large.raw / largeCount) / (small.raw / smallCount);
    bool linear = programGrowth <= kLinearGrowth;
    if (!linear)
        ++missed;
    std::printf("%-34s %10.3f %10.3f %7s %6.2f  %s\n", "ScanDir growth per item 200->2000",
                programGrowth, rawGrowth, "", kLinearGrowth, linear ? "linear" : "NOT LINEAR");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : kDefaultRounds;
    const char* only = argc > 2 && std::strcmp(argv[2], "all") != 0 ? argv[2] : nullptr;
    verbose = argc > 3 && std::strcmp(argv[3], "-v") == 0;
    if (rounds < 1)
        rounds = kDefaultRounds;
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                    ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    if (!InitCommonControlsEx(&classes))
        Die("cannot register the common controls");

    TScratch scratch;
    std::printf("ktbench: median of %d rounds, program and raw loop alternating\n", rounds);
    std::printf("%-34s %10s %10s %7s %6s\n", "case", "program ms", "raw ms", "ratio", "goal");
    if (Wanted(only, "dialog")) {
        Run(NewDialogCase(scratch, false), rounds);
        Run(NewDialogCase(scratch, true), rounds);
    }
    if (Wanted(only, "scan")) {
        TResult small = Run(NewScanCase(scratch, 200), rounds);
        TResult large = Run(NewScanCase(scratch, 2000), rounds);
        PrintGrowth(small, 200, large, 2000);
    }
    if (Wanted(only, "servers"))
        Run(NewSaveServersCase(), rounds);
    if (Wanted(only, "tools"))
        Run(NewSaveToolsCase(), rounds);
    if (Wanted(only, "moves")) {
        Run(NewMoveCase(scratch, false), rounds);
        Run(NewMoveCase(scratch, true), rounds);
    }
    if (Wanted(only, "help"))
        Run(NewHelpIndexCase(scratch), rounds);
    if (Wanted(only, "startup")) {
        // The sample first: the large store replaces it in the prefix's keys.
        Run(NewStartupCase(scratch, false), rounds);
        Run(NewStartupBoundCase(scratch, false), rounds);
        Run(NewStartupCase(scratch, true), rounds);
        Run(NewStartupBoundCase(scratch, true), rounds);
    }
    std::printf("%d goal(s) missed\n", missed);
    return 0;
}
