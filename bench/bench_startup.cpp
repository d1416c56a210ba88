// Start-up as a user sees it: ktconfig.exe started as its own process until
// its dialog is visible, against ktfloor.exe, a program built here from the
// same compiled resources that shows the same screens (the dialog, the seven
// pages, the tree with the seven names, the first page) and reads no data.
// What the program adds over it is its data and whatever else its start
// does. Each run's process is closed (Cancel) and gone before the next
// starts: a second instance would only bring the first to the front.
#include "bench/bench_cases.h"

#include "app/my_app.h"
#include "bench/bench_world.h"

namespace kt_bench {

namespace {

constexpr DWORD kAppearTimeoutMs = 30000;
constexpr DWORD kEndTimeoutMs = 15000;
constexpr DWORD kPollMs = 1;
const char kTavrelKey[] = "SOFTWARE\\Tavrel";

// The product keys of the prefix, which the started programs read.
void DeleteRealProductKeys() {
    DeleteTree(HKEY_LOCAL_MACHINE, kTavrelKey);
    DeleteTree(HKEY_CURRENT_USER, kTavrelKey);
}

class TStartupCase : public TBenchCase {
public:
    TStartupCase(const TScratch& scratch, bool largeStore)
        : scratch(scratch),
          large(largeStore),
          programPath(BesideProgram("..\\ktconfig.exe")),
          floorPath(BesideProgram("ktfloor.exe")) {
        if (!large)
            return;
        scratch.UseScratchKeys(false);
        DeleteRealProductKeys();
        WriteDialogStoreKeys(scratch);
        scratch.UseScratchKeys(true);
    }

    ~TStartupCase() override {
        if (!large)
            return;
        scratch.UseScratchKeys(false);
        DeleteRealProductKeys();
        scratch.UseScratchKeys(true);
    }

    std::string Name() const override {
        return large ? "start-up, large store" : "start-up, sample installation";
    }
    double Goal() const override { return large ? 1.25 : 1.15; }

    void Program() override { StartUntilVisible(programPath); }
    void Raw() override { StartUntilVisible(floorPath); }
    void Finish(bool) override { Close(); }

private:
    void StartUntilVisible(const std::string& path) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + path + "\"";
        if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process))
            Die("cannot start " + path);
        CloseHandle(process.hThread);
        DWORD started = GetTickCount();
        for (;;) {
            window = VisibleDialog();
            if (window)
                return;
            // The wait is the poll interval; a process that ended will never show it.
            if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0)
                Die(path + " ended before its dialog appeared");
            if (GetTickCount() - started > kAppearTimeoutMs)
                Die(path + " showed no dialog");
        }
    }

    // The started process's top-level window with the dialog's title, once
    // visible.
    HWND VisibleDialog() const {
        HWND found = FindWindowA(nullptr, kMainTitle);
        if (!found || !IsWindowVisible(found))
            return nullptr;
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        return owner == process.dwProcessId ? found : nullptr;
    }

    void Close() {
        if (!process.hProcess)
            return;
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        if (WaitForSingleObject(process.hProcess, kEndTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, kEndTimeoutMs);
            Die("the started program did not end on Cancel");
        }
        CloseHandle(process.hProcess);
        process = PROCESS_INFORMATION{};
        window = nullptr;
    }

    const TScratch& scratch;
    bool large;
    std::string programPath, floorPath;
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

}  // namespace

std::unique_ptr<TBenchCase> NewStartupCase(const TScratch& scratch, bool largeStore) {
    return std::unique_ptr<TBenchCase>(new TStartupCase(scratch, largeStore));
}

}  // namespace kt_bench
