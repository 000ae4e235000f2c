// What every editor page works with: the one plan and the address editor of
// the run, the journal, and the window's services (beep, message boxes,
// showing a page, the other pages).
#pragma once

#include <array>
#include <functional>

#include "binding/Journal.h"
#include "data/PlanProcedures.h"
#include "data/TypeKDT.h"
#include "shell/UserInteraction.h"

namespace kdt::gui {

class Page;
inline constexpr int kEditorPageCount = 11;

class PageContext {
public:
    PageContext(TSignalPlan& plan, NetworkAddressEditor& addressEditor, Journal& journal)
        : plan_(plan), addressEditor_(addressEditor), journal_(journal) {}
    PageContext(const PageContext&) = delete;
    PageContext& operator=(const PageContext&) = delete;

    TSignalPlan& plan() const { return plan_; }
    NetworkAddressEditor& addressEditor() const { return addressEditor_; }
    Journal& journal() const { return journal_; }

    // While controls are filled from the plan, handlers neither record nor store.
    bool filling() const { return journal_.recordingSuppressed(); }
    FillGuard Fill() const { return FillGuard(journal_); }

    // Set while a replaced plan is brought into the editor.
    bool refreshing() const { return refreshing_; }
    void setRefreshing(bool on) { refreshing_ = on; }

    void Beep() const {
        if (beep) beep();
    }
    int Message(const MessageRequest& request) const { return message ? message(request) : kIdOk; }
    // The page switch of the window: the page's button pressed, its controls filled, its frame in front.
    void ShowPage(int number) const {
        if (showPage) showPage(number);
    }

    void AddPage(Page* page, int number) { pages_[static_cast<std::size_t>(number - 1)] = page; }
    Page* page(int number) const {
        return number >= 1 && number <= kEditorPageCount ? pages_[static_cast<std::size_t>(number - 1)]
                                                         : nullptr;
    }
    template <class Function>
    void ForEachPage(Function function) const {
        for (Page* page : pages_)
            if (page != nullptr) function(*page);
    }

    std::function<void()> beep;
    std::function<int(const MessageRequest&)> message;
    std::function<void(int)> showPage;

private:
    TSignalPlan& plan_;
    NetworkAddressEditor& addressEditor_;
    Journal& journal_;
    bool refreshing_ = false;
    std::array<Page*, kEditorPageCount> pages_{};
};

}  // namespace kdt::gui
