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

#include <commctrl.h>

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

// A program started as its own process until its dialog is visible, and
// closed (Cancel) and gone again afterwards.
class TStartedProgram {
public:
    explicit TStartedProgram(std::string path) : path(std::move(path)) {}
    ~TStartedProgram() { Close(); }
    TStartedProgram(const TStartedProgram&) = delete;
    TStartedProgram& operator=(const TStartedProgram&) = delete;

    void StartUntilVisible() {
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

private:
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

    std::string path;
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

// The dialog cases' large store in the prefix's real keys for as long as it
// lives.
class TRealLargeStore {
public:
    explicit TRealLargeStore(const TScratch& scratch) : scratch(scratch) {
        scratch.UseScratchKeys(false);
        DeleteRealProductKeys();
        WriteDialogStoreKeys(scratch);
        scratch.UseScratchKeys(true);
    }
    ~TRealLargeStore() {
        scratch.UseScratchKeys(false);
        DeleteRealProductKeys();
        scratch.UseScratchKeys(true);
    }
    TRealLargeStore(const TRealLargeStore&) = delete;
    TRealLargeStore& operator=(const TRealLargeStore&) = delete;

private:
    const TScratch& scratch;
};

class TStartupCase : public TBenchCase {
public:
    TStartupCase(const TScratch& scratch, bool largeStore)
        : large(largeStore),
          store(largeStore ? new TRealLargeStore(scratch) : nullptr),
          program(BesideProgram("..\\ktconfig.exe")),
          floor(BesideProgram("ktfloor.exe")) {}

    std::string Name() const override {
        return large ? "start-up, large store" : "start-up, sample installation";
    }
    double Goal() const override { return large ? 1.25 : 1.15; }

    void Program() override { program.StartUntilVisible(); }
    void Raw() override { floor.StartUntilVisible(); }
    void Finish(bool) override {
        program.Close();
        floor.Close();
    }

private:
    bool large;
    std::unique_ptr<TRealLargeStore> store;
    TStartedProgram program, floor;
};

// What the large store asks of the platform whatever a program does with
// it, on top of the floor's start: the same registry reads as the pages,
// the first bytes of every module the Plug-ins page looks at (and its
// version block where it has one), each plug-in loaded and asked, each
// tool's icon into an image list, and the rows of the three lists. Timed in
// this process after the floor's dialog is visible. No program that shows
// this store can start faster than this ratio to the floor; it is what the
// large store's goal is to be read against.
class TStartupBoundCase : public TBenchCase {
public:
    TStartupBoundCase(const TScratch& scratch, bool largeStore)
        : scratch(scratch),
          large(largeStore),
          store(largeStore ? new TRealLargeStore(scratch) : nullptr),
          floor(BesideProgram("ktfloor.exe")) {
        host.reset(new THost);
        rows = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 300, 200,
                               host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        plugins = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_HASSTRINGS, 0, 0, 200, 200,
                                  host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!rows || !plugins)
            Die("cannot make the bound's lists");
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNA info{};
            info.mask = LVCF_WIDTH | LVCF_TEXT;
            info.cx = 80;
            info.pszText = const_cast<char*>("Column");
            SendMessageA(rows, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&info));
        }
    }

    std::string Name() const override {
        return large ? "start-up, large store, bound" : "start-up, sample installation, bound";
    }
    // Not a goal of the program: the bound itself.
    double Goal() const override { return 0; }

    void Prepare(bool program) override {
        if (program)
            scratch.UseScratchKeys(false);
        icons = ImageList_Create(16, 16, ILC_MASK, 33, 0);
    }
    void Program() override {
        floor.StartUntilVisible();
        StoreCalls();
    }
    void Raw() override { floor.StartUntilVisible(); }
    void Finish(bool program) override {
        floor.Close();
        if (program)
            scratch.UseScratchKeys(true);
        SendMessageA(rows, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(plugins, LB_RESETCONTENT, 0, 0);
        if (icons)
            ImageList_Destroy(icons);
        icons = nullptr;
    }

private:
    void StoreCalls() {
        if (HANDLE running = OpenFileMappingA(FILE_MAP_READ, FALSE, "sharedchanneldataV_1"))
            CloseHandle(running);
        RawReadChannelDir();
        RawReadServers(rows);
        HKEY product = nullptr;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &product) != ERROR_SUCCESS)
            Die("no product key");
        std::string program = RawReadProductValues(product);
        // The desktop file's default place: the drive the program runs from.
        char root[] = "?:\\";
        root[0] = BesideProgram("..\\ktconfig.exe")[0];
        GetDriveTypeA(root);
        RawReadPlugins(product, program.substr(0, program.find_last_of('\\') + 1), true, plugins);
        RegCloseKey(product);
        RawReadTools(rows, icons);
    }

    const TScratch& scratch;
    bool large;
    std::unique_ptr<TRealLargeStore> store;
    TStartedProgram floor;
    std::unique_ptr<THost> host;
    HWND rows = nullptr;
    HWND plugins = nullptr;
    HIMAGELIST icons = nullptr;
};

}  // namespace

std::unique_ptr<TBenchCase> NewStartupCase(const TScratch& scratch, bool largeStore) {
    return std::unique_ptr<TBenchCase>(new TStartupCase(scratch, largeStore));
}

std::unique_ptr<TBenchCase> NewStartupBoundCase(const TScratch& scratch, bool largeStore) {
    return std::unique_ptr<TBenchCase>(new TStartupBoundCase(scratch, largeStore));
}

}  // namespace kt_bench
