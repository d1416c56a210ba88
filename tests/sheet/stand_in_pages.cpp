#include "tests/sheet/stand_in_pages.h"

#include <cstdio>

namespace kt_test {

const char* const kPageNames[7] = {"Channel files", "Network",       "Korvane",        "Settings",
                                   "Plug-ins",      "Max. channels", "Channel sharing"};

std::vector<std::string> StandInPages::events;
std::vector<std::string> StandInPages::refusing;
std::vector<std::string> StandInPages::keepingFocus;
std::map<std::string, std::function<void(TStandInPage*)>> StandInPages::onLoad;
std::map<std::string, std::function<void(TStandInPage*)>> StandInPages::onApply;

namespace {

template <int Row>
TConfigPage* MakeStandIn(TWin* parent) {
    return new TStandInPage(parent, kPageNames[Row], Row);
}

const PageFactory kFactories[7] = {MakeStandIn<0>, MakeStandIn<1>, MakeStandIn<2>, MakeStandIn<3>,
                                   MakeStandIn<4>, MakeStandIn<5>, MakeStandIn<6>};

std::string CodeName(UINT code) {
    switch (code) {
        case PSN_SETACTIVE:
            return "setactive";
        case PSN_KILLACTIVE:
            return "killactive";
        case PSN_APPLY:
            return "apply";
        case PSN_RESET:
            return "reset";
        case PSN_HELP:
            return "help";
        default:
            return "notify " + std::to_string(static_cast<int>(code));
    }
}

}  // namespace

TStandInPage::TStandInPage(TWin* parentWin, const char* treeName, int row)
    : TConfigPage("TESTPAGE", parentWin, nullptr), name(treeName) {
    Run(kStandInNumberBase + row);
    auto load = StandInPages::onLoad.find(name);
    if (load != StandInPages::onLoad.end())
        load->second(this);
}

LRESULT TStandInPage::MsgProc(TMsg& msg) {
    if (msg.message == WM_COMMAND) {
        HWND from = reinterpret_cast<HWND>(msg.lParam);
        std::string source = from == (parent ? parent->GetHandle() : nullptr) ? "sheet"
                             : from                                           ? "control"
                                                                              : "none";
        StandInPages::events.push_back(name + " command " + std::to_string(LOWORD(msg.wParam)) +
                                       " code " + std::to_string(HIWORD(msg.wParam)) + " from " +
                                       source);
    }
    return TConfigPage::MsgProc(msg);
}

int TStandInPage::Notify(int id, NMHDR* header, LRESULT* result) {
    if (id == kPageNotifyId && header) {
        StandInPages::events.push_back(name + " " + CodeName(header->code));
        if (header->code == static_cast<UINT>(PSN_KILLACTIVE)) {
            for (const std::string& keeper : StandInPages::keepingFocus) {
                if (keeper == name) {
                    *result = 1;
                    return 1;
                }
            }
        }
    }
    return TConfigPage::Notify(id, header, result);
}

int TStandInPage::Apply() {
    auto apply = StandInPages::onApply.find(name);
    if (apply != StandInPages::onApply.end())
        apply->second(this);
    for (const std::string& refuser : StandInPages::refusing) {
        if (refuser == name)
            return 0;
    }
    return 1;
}

StandInPages::StandInPages() {
    events.clear();
    refusing.clear();
    keepingFocus.clear();
    onLoad.clear();
    onApply.clear();
    for (int row = 0; row < 7; ++row)
        swaps.push_back(std::make_unique<TPageFactorySwap>(kPageNames[row], kFactories[row]));
}

StandInPages::~StandInPages() {
    swaps.clear();
    events.clear();
    refusing.clear();
    keepingFocus.clear();
    onLoad.clear();
    onApply.clear();
}

std::vector<std::string> StandInPages::PagesThatGot(const std::string& what) {
    std::vector<std::string> pages;
    for (const std::string& event : events) {
        if (event.size() > what.size() &&
            event.compare(event.size() - what.size(), what.size(), what) == 0)
            pages.push_back(event.substr(0, event.size() - what.size()));
    }
    return pages;
}

}  // namespace kt_test
