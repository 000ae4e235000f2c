// Page 9, "Параметры УСк": the dynamic speed indicators' table, up to eight
// times of day with a recommended speed for each of the eight indicators.
#pragma once

#include "binding/Page.h"

namespace kdt::gui {

class CellEditor;
class CellOverlay;
class GridTable;
class TimeField;

// The page's controls in the journal.
namespace speed {
inline constexpr ControlId kTimeField = 901;  // MaskEdit2, the time over column 0
inline constexpr int kTimeColumn = 0;
inline constexpr int kSpeedLimit = 250;
}  // namespace speed

class SpeedPage final : public Page {
    Q_OBJECT
public:
    SpeedPage(PageContext& context, QWidget* parent);

    void Fill() override;  // ParamUSkClick
    void SelectionsReset() override;

    int currentRow() const { return row_; }
    int currentColumn() const { return column_; }

    // The handlers, as the controls and the journal call them.
    void StringGrid10SelectCell(int row, int column, bool focusField);
    void MaskEdit2Change(int row);
    // A speed cell edited: stored into that cell, whatever is current by then.
    void StringGrid10SetEditText(int row, int column);

private:
    void BuildGrid();
    void RegisterInJournal();

    void FillRow(int row);
    void LoadTimeField(int row);
    void ReplayTime(const JournalEntry& entry);

    GridTable* grid_ = nullptr;       // StringGrid10
    TimeField* timeField_ = nullptr;  // MaskEdit2
    CellOverlay* timeOverlay_ = nullptr;
    CellEditor* speedField_ = nullptr;  // the in-place field of the speed cells
    int row_ = 1;
    int column_ = 1;
};

}  // namespace kdt::gui
