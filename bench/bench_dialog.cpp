// Building the configuration dialog over a large store, against the reads
// of the same values and version blocks plus a bare dialog of the same
// template and tree; and against a floor that also does the rest of what
// the platform must do for the pages (their templates, their list rows,
// the tools' icons, the plug-ins asked).
#include "bench/bench_cases.h"

#include "bench/bench_world.h"
#include "bench/floor/screens.h"
#include "resources/network_page_ids.h"
#include "resources/plugin_page_ids.h"
#include "resources/share_tool_page_ids.h"
#include "sheet/config_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

namespace kt_bench {

namespace {

constexpr int kServers = 1000;
constexpr int kTools = 32;
constexpr int kProductModules = 200;
constexpr int kProductPlugins = 5;
constexpr int kRegisteredPlugins = 20;

using kt_floor::kPageCount;
using kt_floor::kPageTemplates;
constexpr int kNetworkPage = 1;
constexpr int kPluginPage = 4;
constexpr int kSharePage = 6;

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class TStore {
public:
    explicit TStore(const TScratch& scratch)
        : chnDir(scratch.Dir("channels")),
          productDir(scratch.Dir("product")),
          registeredDir(scratch.Dir("registered")) {
        desktopDir = scratch.Dir("desktop");
        for (const char* name : {"a.chn", "b.tpl", "c.txt"})
            WriteTextFile(chnDir + "\\" + name, "channel");
        FillModuleDir(productDir, "lib", kProductModules, kProductPlugins);
        registeredPlugins =
            FillModuleDir(registeredDir, "reg", kRegisteredPlugins, kRegisteredPlugins);
        WriteKeys();
    }

    // Into whatever keys HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER stand for.
    void WriteKeys() const {
        SetString(HKEY_LOCAL_MACHINE, kProductKey, nullptr, "6.4.0");
        SetString(HKEY_LOCAL_MACHINE, kAppPathsKey, nullptr, productDir + "\\korvane.exe");
        SetString(HKEY_LOCAL_MACHINE, kMaxChannelsKey, nullptr, "20");
        SetString(HKEY_CURRENT_USER, kDskPathKey, nullptr, desktopDir);
        SetString(HKEY_LOCAL_MACHINE, kChnFilesKey, nullptr, chnDir);
        WriteServers(MakeServers(kServers));
        WriteTools(MakeTools(kTools));
        for (const std::string& path : registeredPlugins) {
            std::string name = path.substr(path.find_last_of('\\') + 1);
            name = name.substr(0, name.size() - 4);
            SetString(HKEY_LOCAL_MACHINE, (std::string(kPluginsKey) + "\\" + name).c_str(), nullptr,
                      path);
        }
    }

    std::string chnDir, productDir, registeredDir, desktopDir;
    std::vector<std::string> registeredPlugins;
};

// Both dialog cases read the same store.
const TStore& SharedStore(const TScratch& scratch) {
    static const TStore store(scratch);
    return store;
}

class TDialogCase : public TBenchCase {
public:
    TDialogCase(const TScratch& scratch, bool platformFloor)
        : store(SharedStore(scratch)), platform(platformFloor) {}

    std::string Name() const override {
        return platform ? "dialog build, platform floor" : "dialog build";
    }
    double Goal() const override { return 1.15; }

    void Program() override {
        auto* dialog = new TConfigDlg;
        if (!dialog || !dialog->GetHandle())
            Die("the configuration dialog could not be built");
        window = dialog->GetHandle();
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }

    void Raw() override {
        window = CreateDialogParamA(GetModuleHandleA(nullptr), "CONFIGDLG", nullptr, BareProc, 0);
        if (!window)
            Die("the bare dialog could not be built");
        HWND pages[kPageCount] = {};
        if (platform)
            MakePages(pages);
        ReadStore(pages);
        kt_floor::FillPageTree(window, pages);
        if (pages[0])
            ShowWindow(pages[0], SW_SHOW);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }

    void Finish(bool) override {
        if (window && IsWindow(window))
            DestroyWindow(window);
        window = nullptr;
    }

private:
    void MakePages(HWND* pages) {
        RECT place{106, 28, 0, 0};
        MapDialogRect(window, &place);
        for (int page = 0; page < kPageCount; ++page) {
            pages[page] = CreateDialogParamA(GetModuleHandleA(nullptr), kPageTemplates[page],
                                             window, BareProc, 0);
            if (!pages[page])
                Die(std::string("the bare page could not be built: ") + kPageTemplates[page]);
            SetWindowPos(pages[page], nullptr, place.left, place.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        PrepareList(GetDlgItem(pages[kNetworkPage], IDC_NETWORK_LIST), 3, &networkImages);
        PrepareList(GetDlgItem(pages[kSharePage], IDC_SHARETOOL_LIST), 2, &toolImages);
    }

    static void PrepareList(HWND list, int columns, HIMAGELIST* images) {
        *images = ImageList_Create(16, 16, ILC_MASK, 2, 0);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(*images));
        for (int column = 0; column < columns; ++column) {
            LVCOLUMNA info{};
            info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            info.cx = 80;
            info.pszText = const_cast<char*>("Column");
            info.iSubItem = column;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&info));
        }
    }

    void ReadStore(HWND* pages) {
        HWND serverList =
            pages[kNetworkPage] ? GetDlgItem(pages[kNetworkPage], IDC_NETWORK_LIST) : nullptr;
        HWND toolList =
            pages[kSharePage] ? GetDlgItem(pages[kSharePage], IDC_SHARETOOL_LIST) : nullptr;
        HWND pluginList =
            pages[kPluginPage] ? GetDlgItem(pages[kPluginPage], IDC_PLUGIN_LIST) : nullptr;
        RawReadChannelDir();
        RawReadServers(serverList);

        HKEY product = nullptr;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKey, &product) != ERROR_SUCCESS)
            Die("no product key");
        RawReadProductValues(product);
        RawReadPlugins(product, store.productDir + "\\", platform, pluginList);
        RegCloseKey(product);
        RawReadTools(toolList, platform ? toolImages : nullptr);
    }

    const TStore& store;
    bool platform;
    HWND window = nullptr;
    HIMAGELIST networkImages = nullptr;
    HIMAGELIST toolImages = nullptr;
};

}  // namespace

void WriteDialogStoreKeys(const TScratch& scratch) {
    SharedStore(scratch).WriteKeys();
}

std::unique_ptr<TBenchCase> NewDialogCase(const TScratch& scratch, bool platformFloor) {
    return std::unique_ptr<TBenchCase>(new TDialogCase(scratch, platformFloor));
}

}  // namespace kt_bench
