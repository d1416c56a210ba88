// Test pages in place of the seven pages of the configuration dialog: each
// records what the sheet tells it, and a test decides how it answers.
#pragma once

#include "sheet/config_dlg.h"
#include "sheet/config_page.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kt_test {

constexpr int kStandInButtonId = 300;
constexpr int kStandInEditId = 301;
constexpr int kStandInNumberBase = 9000;

class TStandInPage : public TConfigPage {
public:
    TStandInPage(TWin* parent, const char* treeName, int row);

    LRESULT MsgProc(TMsg& msg) override;
    int Notify(int id, NMHDR* header, LRESULT* result) override;
    int Apply() override;

    const std::string name;
};

// While it lives, every row of the page table makes a stand-in page.
class StandInPages {
public:
    StandInPages();
    ~StandInPages();
    StandInPages(const StandInPages&) = delete;
    StandInPages& operator=(const StandInPages&) = delete;

    // What the pages were told, e.g. "Network apply", "Korvane command 300 code 0 from sheet".
    static std::vector<std::string> events;
    // Pages whose Apply refuses.
    static std::vector<std::string> refusing;
    // Pages that answer PSN_KILLACTIVE nonzero.
    static std::vector<std::string> keepingFocus;
    // Run by a page while it loads (in the dialog's construction) and when it applies.
    static std::map<std::string, std::function<void(TStandInPage*)>> onLoad;
    static std::map<std::string, std::function<void(TStandInPage*)>> onApply;

    // The events with the given suffix, e.g. " apply" gives the page names in order.
    static std::vector<std::string> PagesThatGot(const std::string& what);

private:
    std::vector<std::unique_ptr<TPageFactorySwap>> swaps;
};

// The seven tree names in the order of the page table.
extern const char* const kPageNames[7];

}  // namespace kt_test
