#include "pages/DetectorsPage.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/CellEditor.h"
#include "components/GraphicNapr.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/MarkDelegate.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace detectors;

// The cell holds at most three digits.
constexpr int kZoneCountDigits = 3;
constexpr int kSelectorItemSize = 20;

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

// A grid as wide as its columns and its scroll bar.
void FitWidth(GridTable* grid) {
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < grid->columnCount(); ++column) width += grid->columnWidth(column);
    grid->setFixedWidth(width);
}

}  // namespace

DetectorsPage::DetectorsPage(PageContext& context, QWidget* parent) : Page(10, context, parent) {
    BuildCount();
    BuildDetectorGrid();
    BuildZoneGrid();
    BuildSelector();
    QHBoxLayout* count = count_->MakeRow();
    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addLayout(count);
    left->addWidget(detectorGrid_);
    left->addWidget(selector_);
    left->addStretch(1);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(10);
    page->addLayout(left);
    page->addWidget(zoneGrid_);
    page->addStretch(1);
}

// ---------------------------------------------------------------- building

void DetectorsPage::BuildCount() {
    // No journal entries on this page: the line's identifier is never recorded.
    NumberFieldLine line{0,
                         "AllDT",
                         "Всего детекторов ",
                         "|Изменить значение можно стрелками вверх и вниз а также колесом мыши",
                         ControlClass::LabeledEdit,
                         0,
                         1,
                         [](const TSignalPlan& p) { return unsigned{p.DetectorCount}; },
                         [](TSignalPlan& p, unsigned v) { p.DetectorCount = static_cast<std::uint8_t>(v); },
                         [](const TSignalPlan&) {
                             return NumberRange{0, kMaxDetectors};
                         }};
    count_ = new NumberField(context(), std::move(line), this);
    count_->edit()->setFixedWidth(52);
    count_->records = [] { return false; };
    // The current detector and zone stay, even above a lowered count.
    count_->cascade = [this](int) {
        const FillGuard guard = context().Fill();
        FillDetectorRows();
        PlaceZoneCountField();
    };
    OnLeave(count_->edit(), [this] { AllDTExit(); });
}

void DetectorsPage::BuildDetectorGrid() {
    detectorGrid_ = new GridTable(this);
    detectorGrid_->setObjectName(QStringLiteral("StringGrid12"));
    // Held as the one text "№ ДТ\nЗон", split at its line break.
    detectorGrid_->setHeaderTexts(ToQString("№ ДТ\nЗон").split(QLatin1Char('\n')));
    detectorGrid_->setNumberColumns(1);
    detectorGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detectorGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int pad = 14;
    detectorGrid_->setColumnWidth(0, TextWidth(detectorGrid_, detectorGrid_->headerText(0)) + pad);
    detectorGrid_->setColumnWidth(kZoneCountColumn,
                                  TextWidth(detectorGrid_, QStringLiteral("000")) + 2 * pad);
    detectorGrid_->setFixedSize(2 * detectorGrid_->frameWidth() + detectorGrid_->columnWidth(0) +
                                    detectorGrid_->columnWidth(kZoneCountColumn),
                                2 * detectorGrid_->frameWidth() +
                                    detectorGrid_->horizontalHeader()->height() +
                                    kMaxDetectors * GridTable::kRowHeight);
    SetHint(detectorGrid_, "|Выбор детектора для редактирования");
    detectorGrid_->setAccessibleName(ToQString("Выбор детектора для редактирования"));
    connect(detectorGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid12SelectCell(row, true); });

    zoneCountField_ = new CellEditor(detectorGrid_);
    zoneCountField_->setObjectName(QStringLiteral("StringGrid12Editor"));
    // Digits while the cell holds fewer than three; other keys go without a sound.
    NumberKeyFilter::Install(zoneCountField_, {});
    zoneCountField_->setMaxLength(kZoneCountDigits);
    zoneCountField_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), zoneCountField_));
    connect(zoneCountField_, &CellEditor::edited, this,
            [this](int row, int) { StringGrid12SetEditText(row); });
}

void DetectorsPage::BuildZoneGrid() {
    zoneGrid_ = new GridTable(this);
    zoneGrid_->setObjectName(QStringLiteral("StringGrid11"));
    // A fixed pitch gives every direction's mark its own place.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    zoneGrid_->setHeaderTexts({ToQString("№ Зоны"), ToQString("Направления")});
    zoneGrid_->setNumberColumns(1);
    zoneGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    zoneGrid_->setItemDelegateForColumn(kDirectionsColumn, new MarkDelegate(zoneGrid_));
    zoneGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    zoneGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 12;
    zoneGrid_->setColumnWidth(0, TextWidth(zoneGrid_, zoneGrid_->headerText(0)) + pad);
    zoneGrid_->setColumnWidth(
        kDirectionsColumn,
        std::max(QFontMetrics(fixed).horizontalAdvance(QString(kMaxDirections, QLatin1Char('0'))),
                 TextWidth(zoneGrid_, zoneGrid_->headerText(kDirectionsColumn))) +
            pad);
    FitWidth(zoneGrid_);
    zoneGrid_->setDataRowCount(kMaxDetectorZones);
    for (int zone = 1; zone <= kMaxDetectorZones; ++zone) {
        zoneGrid_->setCellText(zone, 0, QString::number(zone));
        zoneGrid_->setCellText(zone, kDirectionsColumn, QString());
        zoneGrid_->cellItem(zone, kDirectionsColumn)->setFont(fixed);
    }
    SetHint(zoneGrid_, "|Выбор зоны для редактирования");
    zoneGrid_->setAccessibleName(ToQString("Выбор зоны для редактирования"));
    connect(zoneGrid_, &GridTable::cellSelected, this, [this](int row, int) { StringGrid11SelectCell(row); });
}

void DetectorsPage::BuildSelector() {
    selector_ = new TGraphicNapr(this);
    selector_->setObjectName(QStringLiteral("GraphicNapr1"));
    // Set up before its signal is connected: its setters raise Change, and
    // the state it starts with belongs to no zone.
    selector_->setNaprCount(kMaxDirections);
    selector_->setItemSize(kSelectorItemSize);
    selector_->setShowCaption(true);
    selector_->setNaprSost(0);
    selector_->setItemName(ToQString("направление"));
    SetHint(selector_, "|Подключение направлений к зоне детектора");
    selector_->setAccessibleName(ToQString("Подключение направлений к зоне детектора"));
    connect(selector_, &TGraphicNapr::Change, this, [this] { GraphicNapr1Change(); });
}

// ---------------------------------------------------------------- showing

int DetectorsPage::detectorRows() const {
    return DetectorRows(plan());
}

void DetectorsPage::SelectionsReset() {
    detector_ = 1;
    zone_ = 1;
}

void DetectorsPage::Fill() {
    // A file's count above 4 shows as it is, with four rows, and stays until edited.
    count_->Fill();
    FillDetectorRows();
    PlaceZoneCountField();
    FillZoneRows();
    zoneGrid_->selectCell(zone_, kDirectionsColumn);
    StringGrid11SelectCell(zone_);
}

void DetectorsPage::FillDetectorRows() {
    const int count = detectorRows();
    // One empty row while there are no detectors.
    detectorGrid_->setDataRowCount(std::max(count, 1));
    if (count == 0) {
        detectorGrid_->setCellText(1, 0, QString());
        detectorGrid_->setCellText(1, kZoneCountColumn, QString());
    }
    for (int i = 1; i <= count; ++i) {
        detectorGrid_->setCellText(i, 0, QLatin1Char(' ') + QString::number(i));
        detectorGrid_->setCellText(i, kZoneCountColumn, QString::number(plan().Detector[i - 1].ZoneCount));
    }
}

void DetectorsPage::PlaceZoneCountField() {
    if (detector_ > detectorGrid_->dataRowCount()) {
        zoneCountField_->clearPlace();
        return;
    }
    detectorGrid_->selectCell(detector_, kZoneCountColumn);
    zoneCountField_->placeOver(detector_, kZoneCountColumn);
    zoneCountField_->setText(detectorGrid_->cellText(detector_, kZoneCountColumn));
}

QString DetectorsPage::ZoneMarks(int zone) const {
    const std::uint16_t directions = plan().Detector[detector_ - 1].ZoneDirections[zone - 1];
    QString marks(kMaxDirections, QLatin1Char(' '));
    for (int d = 0; d < kMaxDirections; ++d)
        if ((directions >> d) & 1u) marks[d] = MarkDelegate::kMark;
    return marks;
}

void DetectorsPage::FillZoneRows() {
    // Always all 48 zones, whatever the detector's zone count says.
    for (int zone = 1; zone <= kMaxDetectorZones; ++zone)
        zoneGrid_->setCellText(zone, kDirectionsColumn, ZoneMarks(zone));
}

void DetectorsPage::StringGrid12SelectCell(int row, bool focusField) {
    if (row < 1 || row > detectorGrid_->dataRowCount()) return;
    // Selecting loads the detector's zones; it stores nothing.
    const FillGuard guard = context().Fill();
    detector_ = row;
    zone_ = 1;
    detectorGrid_->selectCell(row, kZoneCountColumn);
    zoneCountField_->placeOver(row, kZoneCountColumn);
    zoneCountField_->setText(detectorGrid_->cellText(row, kZoneCountColumn));
    FillZoneRows();
    zoneGrid_->selectCell(zone_, kDirectionsColumn);
    StringGrid11SelectCell(zone_);
    if (focusField && zoneCountField_->isVisible()) zoneCountField_->setFocus(Qt::OtherFocusReason);
}

void DetectorsPage::AllDTExit() {
    const FillGuard guard = context().Fill();
    count_->edit()->setText(QString::number(plan().DetectorCount));
}

// ---------------------------------------------------------------- edits

void DetectorsPage::StringGrid12SetEditText(int row) {
    if (filling() || row < 1 || row > detectorGrid_->dataRowCount()) return;
    const QString text = zoneCountField_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    std::uint8_t& zones = plan().Detector[row - 1].ZoneCount;
    if (!value || *value > kMaxDetectorZones) {
        // Never another count in its low byte: the cell shows the stored count again.
        const FillGuard guard = context().Fill();
        zoneCountField_->setText(QString::number(zones));
        detectorGrid_->setCellText(row, kZoneCountColumn, QString::number(zones));
        return;
    }
    zones = static_cast<std::uint8_t>(*value);
    detectorGrid_->setCellText(row, kZoneCountColumn, text);
    const FillGuard guard = context().Fill();
    detector_ = row;
    zone_ = 1;
    FillZoneRows();
    zoneGrid_->selectCell(zone_, kDirectionsColumn);
    StringGrid11SelectCell(zone_);
}

void DetectorsPage::StringGrid11SelectCell(int row) {
    if (row < 1 || row > kMaxDetectorZones) return;
    const FillGuard guard = context().Fill();
    zone_ = row;
    selector_->setNaprSost(plan().Detector[detector_ - 1].ZoneDirections[row - 1]);
}

void DetectorsPage::GraphicNapr1Change() {
    if (filling()) return;
    plan().Detector[detector_ - 1].ZoneDirections[zone_ - 1] =
        static_cast<std::uint16_t>(selector_->NaprSost() & 0xFFFFu);
    zoneGrid_->setCellText(zone_, kDirectionsColumn, ZoneMarks(zone_));
}

}  // namespace kdt::gui
