// Page 6, "Табло вызова пешеходами": for each pedestrian call button the
// phase a press calls, its duration, for 4.2.x the program phase it is
// inserted into, and the channels of its "Ждите" display.
#pragma once

#include "binding/Page.h"

class QListWidget;
class QPushButton;

namespace kdt::gui {

class BitMatrix;
class CellEditor;
class GridTable;
class SquareStrip;
struct MatrixCell;

// The page's controls in the journal.
namespace pedestrian {
inline constexpr ControlId kWaitSquare = 600;   // + channel 1..32: the squares Shape145..
inline constexpr ControlId kButtonField = 640;  // Edit7, the button grid's field
inline constexpr ControlId kClear = 641;        // Button1, "Очистка"
// The button grid's value columns.
inline constexpr int kPhaseColumn = 1;
inline constexpr int kDurationColumn = 2;
inline constexpr int kInsertPhaseColumn = 3;  // 4.2.x only
}  // namespace pedestrian

// The buttons the page shows: a count above the four buttons a plan holds
// shows none (the page never rewrites the count itself).
int ShownTvpButtons(const TSignalPlan& plan);

class PedestrianPage final : public Page {
    Q_OBJECT
public:
    PedestrianPage(PageContext& context, QWidget* parent);

    void Fill() override;  // TVPClick
    void ApplyRomType() override;
    void SelectionsReset() override;
    void RefreshEnabledStates() override;

    int currentButton() const { return button_; }
    int currentColumn() const { return column_; }

    // The handlers, as the controls and the journal call them.
    void StringGrid6SelectCell(int row, int column, bool focusField);
    void Edit7Change(int row, int column);
    void Shape145MouseUp(int channel, Qt::MouseButton button);
    void PaintBox2MouseUp(const MatrixCell& cell, Qt::MouseButton button);
    void Button1Click();

private:
    void BuildGrid();
    void BuildWaitDisplay();
    void RegisterInJournal();

    int rows() const { return ShownTvpButtons(plan()); }
    // The number a column shows for a button (an insertion phase of 255 as
    // 256, shown as an empty cell), and the raw value behind it.
    int ShownValue(int button, int column) const;
    unsigned RawValue(int button, int column) const;
    void WriteRaw(int button, int column, unsigned raw);
    bool Accepts(int column, int value) const;
    QString CellText(int button, int column) const;
    void FillRow(int button);
    void ShowWaitMasks();
    void ShowSquares();
    void FitGridWidth();
    void ReloadField();

    // Button b's channel k changes its membership of the "Ждите" display.
    void ToggleWaitChannel(int button, int channel);
    void ReplayField(const JournalEntry& entry);
    void ReplayClear(const JournalEntry& entry);
    QString DescribeChannel(int channel) const;
    QString DescribeCell(const MatrixCell& cell) const;

    GridTable* grid_ = nullptr;       // StringGrid6
    CellEditor* field_ = nullptr;     // Edit7
    QPushButton* clear_ = nullptr;    // Button1
    QListWidget* buttons_ = nullptr;  // the list of the buttons, beside the matrix rows
    SquareStrip* squares_ = nullptr;  // Shape145 ..
    BitMatrix* matrix_ = nullptr;     // PaintBox2
    int button_ = 1;
    int column_ = pedestrian::kPhaseColumn;
};

}  // namespace kdt::gui
