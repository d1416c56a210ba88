// The cases of the benchmark, each over data it makes in the scratch
// registry and directory.
#pragma once

#include "bench/bench.h"

#include <memory>

namespace kt_bench {

class TScratch;

// The configuration dialog with every page over a large store; the platform
// floor adds what the pages cannot do without beyond reading.
std::unique_ptr<TBenchCase> NewDialogCase(const TScratch& scratch, bool platformFloor);
// The large store of the dialog cases (its files made once) written into
// whatever keys HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER stand for.
void WriteDialogStoreKeys(const TScratch& scratch);
// ktconfig.exe started as its own process until its dialog is visible,
// against ktfloor.exe, which shows the same screens with no data: on the
// sample installation that the prefix holds, or on the dialog cases' large
// store, written into the prefix's real keys for the case's lifetime.
std::unique_ptr<TBenchCase> NewStartupCase(const TScratch& scratch, bool largeStore);
// The floor's start plus what the store (the sample installation, or the
// large one) asks of the platform whatever the program: the least that the
// start-up ratio on that store can be.
std::unique_ptr<TBenchCase> NewStartupBoundCase(const TScratch& scratch, bool largeStore);
// The Plug-ins page's scan of a directory of count modules.
std::unique_ptr<TBenchCase> NewScanCase(const TScratch& scratch, int count);
std::unique_ptr<TBenchCase> NewSaveServersCase();
std::unique_ptr<TBenchCase> NewSaveToolsCase();
// Channel file moves; the identity floor adds the same-file check's calls.
std::unique_ptr<TBenchCase> NewMoveCase(const TScratch& scratch, bool identityFloor);
std::unique_ptr<TBenchCase> NewHelpIndexCase(const TScratch& scratch);

}  // namespace kt_bench
