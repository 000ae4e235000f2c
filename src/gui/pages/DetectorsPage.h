// Page 10, "Параметры ДТ": the transport detectors, each one's zone count and
// the directions every zone of it serves. Nothing here keeps journal entries.
#pragma once

#include "binding/NumberField.h"
#include "binding/Page.h"

namespace kdt::gui {

class CellEditor;
class GridTable;
class TGraphicNapr;

namespace detectors {
inline constexpr int kZoneCountColumn = 1;
inline constexpr int kDirectionsColumn = 1;
}  // namespace detectors

class DetectorsPage final : public Page {
    Q_OBJECT
public:
    DetectorsPage(PageContext& context, QWidget* parent);

    void Fill() override;  // ParamDTClick
    void SelectionsReset() override;

    int currentDetector() const { return detector_; }
    int currentZone() const { return zone_; }
    NumberField* detectorCount() const { return count_; }

    // The handlers, as the controls call them.
    void AllDTExit();
    void StringGrid12SelectCell(int row, bool focusField);
    // The zone count of a detector row edited: stored for that row's detector.
    void StringGrid12SetEditText(int row);
    void StringGrid11SelectCell(int row);
    void GraphicNapr1Change();

private:
    void BuildCount();
    void BuildDetectorGrid();
    void BuildZoneGrid();
    void BuildSelector();

    int detectorRows() const;
    void FillDetectorRows();
    void PlaceZoneCountField();  // over the current detector's row, when it has one
    void FillZoneRows();
    QString ZoneMarks(int zone) const;

    NumberField* count_ = nullptr;       // "Всего детекторов "
    GridTable* detectorGrid_ = nullptr;  // StringGrid12
    CellEditor* zoneCountField_ = nullptr;
    GridTable* zoneGrid_ = nullptr;     // StringGrid11
    TGraphicNapr* selector_ = nullptr;  // GraphicNapr1
    int detector_ = 1;
    int zone_ = 1;
};

}  // namespace kdt::gui
