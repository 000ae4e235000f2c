// The base of the eleven editor pages: the page's number, its context, and
// the steps the window runs on every page.
#pragma once

#include <QWidget>

#include "binding/PageContext.h"

namespace kdt::gui {

class Page : public QWidget {
    Q_OBJECT
public:
    Page(int number, PageContext& context, QWidget* parent);
    int number() const { return number_; }

    // Shows the plan in the controls. The window holds the fill guard.
    virtual void Fill() = 0;
    // Whether the plan gives the page anything to show; a page that has
    // nothing stays behind the one in front (a count of 0 from a file).
    virtual bool CanBeShown() const { return true; }
    // Limits, item lists and enabled states that follow the plan's ROM type.
    // Runs at start, for every replaced plan and after every ROM type
    // choice; it never stores anything.
    virtual void ApplyRomType() {}
    // The user (or the journal) chose another ROM type: what goes with it
    // beyond the limits.
    virtual void RomTypeChosen() {}
    // A plan was opened, created, imported or reset.
    virtual void PlanReplaced() {}
    // A new plan was made (new project, clear, the last project closed):
    // the page's current items (direction, mode, ...) return to the first.
    virtual void SelectionsReset() {}
    // Availability of the page's own commands, kept up to date while idle.
    virtual void RefreshEnabledStates() {}

protected:
    PageContext& context() const { return context_; }
    TSignalPlan& plan() const { return context_.plan(); }
    Journal& journal() const { return context_.journal(); }
    bool filling() const { return context_.filling(); }
    // Fills the page again under the guard, as its own commands need.
    void Refill();

private:
    int number_;
    PageContext& context_;
};

}  // namespace kdt::gui
