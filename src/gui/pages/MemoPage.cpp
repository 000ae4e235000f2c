#include "pages/MemoPage.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/PlainLineEdit.h"
#include "data/TextEncoding.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace memo;

// Lines 0..3 are one string: byte i of it is byte i % 16 of line i / 16.
char& AddressByte(TSignalPlan& plan, int index) {
    return plan.ExtraLines[index / kExtraLineLength][index % kExtraLineLength];
}
char AddressByte(const TSignalPlan& plan, int index) {
    return plan.ExtraLines[index / kExtraLineLength][index % kExtraLineLength];
}

bool IsMemoRow(int row) {
    return row >= 1 && row <= kMemoFields;
}

// What a field shows: the text's bytes, cut to what the record holds, with
// no blanks and control bytes at either end.
std::string StorableBytes(const QString& text, std::size_t limit) {
    return TrimmedBytes(Utf8ToCp1251(ToUtf8(text))).substr(0, limit);
}

QString ShownText(const std::string& bytes) {
    return ToQString(Cp1251ToUtf8(bytes));
}

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

}  // namespace

std::string TrimmedBytes(std::string_view bytes) {
    const auto kept = [](char byte) { return static_cast<unsigned char>(byte) > 0x20; };
    const auto first = std::find_if(bytes.begin(), bytes.end(), kept);
    const auto last = std::find_if(bytes.rbegin(), bytes.rend(), kept).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string StoredAddress(const TSignalPlan& plan) {
    // Never past the 63rd byte: an address without its zero byte would run
    // into the memo lines.
    std::string text;
    for (int i = 0; i < kAddressBytes && AddressByte(plan, i) != '\0'; ++i) text += AddressByte(plan, i);
    return text;
}

std::string StoredMemo(const TSignalPlan& plan, int field) {
    const char* line = plan.ExtraLines[kFirstMemoLine + field - 1];
    std::string text;
    for (int i = 0; i < kExtraLineLength && line[i] != '\0'; ++i) text += line[i];
    return text;
}

MemoPage::MemoPage(PageContext& context, QWidget* parent) : Page(11, context, parent) {
    BuildAddress();
    BuildMemoGrid();
    auto* address = new QHBoxLayout;
    address->setSpacing(4);
    auto* label = new QLabel(ToQString("IP адрес или DNS + TCP порт "), this);
    label->setBuddy(address_);
    address_->setAccessibleName(AccessibleNameOf(label->text()));
    address->addWidget(label);
    address->addWidget(address_, 1);
    auto* grid = new QHBoxLayout;
    grid->addWidget(memoGrid_);
    grid->addStretch(1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(6);
    page->addLayout(address);
    page->addLayout(grid, 1);
}

// ---------------------------------------------------------------- building

void MemoPage::BuildAddress() {
    address_ = new PlainLineEdit(this);
    address_->setObjectName(QStringLiteral("IP_DNS_Port"));
    SetHint(address_, "|Двойные ковычки и запятая обязательны (максимум 63 символа)");
    TextKeyFilter::Install(
        address_, [this] { context().Beep(); }, kAddressBytes);
    connect(address_, &QLineEdit::textChanged, this, [this] { IP_DNS_PortChange(); });
}

void MemoPage::BuildMemoGrid() {
    memoGrid_ = new GridTable(this);
    memoGrid_->setObjectName(QStringLiteral("StringGrid14"));
    // Held as one text, split at its line break.
    memoGrid_->setHeaderTexts(ToQString(" №\n поля для редактирования").split(QLatin1Char('\n')));
    memoGrid_->setNumberColumns(1);
    memoGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 12;
    memoGrid_->setColumnWidth(0, TextWidth(memoGrid_, QStringLiteral(" 28")) + pad);
    // Sixteen wide letters fit.
    memoGrid_->setColumnWidth(kTextColumn,
                              std::max(TextWidth(memoGrid_, QString(kExtraLineLength, QChar(0x0416))),
                                       TextWidth(memoGrid_, memoGrid_->headerText(kTextColumn))) +
                                  pad);
    int width = 2 * memoGrid_->frameWidth() + memoGrid_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < memoGrid_->columnCount(); ++column) width += memoGrid_->columnWidth(column);
    memoGrid_->setFixedWidth(width);
    memoGrid_->setDataRowCount(kMemoFields);
    SetHint(memoGrid_, "|Мемо поля для редактирования (не более 16 символов в поле)");
    memoGrid_->setAccessibleName(ToQString("Мемо поля для редактирования (не более 16 символов в поле)"));
    connect(memoGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid14SelectCell(row, true); });

    memoField_ = new CellEditor(memoGrid_);
    memoField_->setObjectName(QStringLiteral("StringGrid14Editor"));
    // Any character the record can hold; a longer text is cut when stored.
    TextKeyFilter::Install(memoField_, [this] { context().Beep(); });
    connect(memoField_, &CellEditor::edited, this, [this](int row, int) { StringGrid14SetEditText(row); });
}

// ---------------------------------------------------------------- showing

void MemoPage::SelectionsReset() {
    field_ = 1;
}

void MemoPage::Fill() {
    // Loading shows the record as it is; the fill guard keeps the field's
    // change handler from trimming a stored address back into it.
    address_->setText(ShownText(StoredAddress(plan())));
    for (int n = 1; n <= kMemoFields; ++n) {
        memoGrid_->setCellText(n, 0, QLatin1Char(' ') + QString::number(n));
        memoGrid_->setCellText(n, kTextColumn, ShownText(StoredMemo(plan(), n)));
    }
    if (!IsMemoRow(field_)) field_ = 1;
    StringGrid14SelectCell(field_, false);
}

void MemoPage::StringGrid14SelectCell(int row, bool focusField) {
    if (!IsMemoRow(row)) return;
    const FillGuard guard = context().Fill();
    field_ = row;
    memoGrid_->selectCell(row, kTextColumn);
    memoField_->placeOver(row, kTextColumn);
    memoField_->setText(memoGrid_->cellText(row, kTextColumn));
    if (focusField && memoField_->isVisible()) memoField_->setFocus(Qt::OtherFocusReason);
}

void MemoPage::ReloadMemoField(int row) {
    const FillGuard guard = context().Fill();
    const QString stored = ShownText(StoredMemo(plan(), row));
    memoField_->setText(stored);
    memoGrid_->setCellText(row, kTextColumn, stored);
}

// ---------------------------------------------------------------- edits

void MemoPage::IP_DNS_PortChange() {
    if (filling()) return;
    TSignalPlan& p = plan();
    const QString text = address_->text();
    if (!FitsCp1251(text)) {
        // Only text the record can hold gets in, whatever way it came.
        {
            const FillGuard guard = context().Fill();
            address_->setText(ShownText(StoredAddress(p)));
        }
        context().Beep();
        return;
    }
    // From byte 0, then one zero byte; what lies after it stays as it was.
    const std::string bytes = StorableBytes(text, kAddressBytes);
    const int size = static_cast<int>(bytes.size());
    for (int i = 0; i < size; ++i) AddressByte(p, i) = bytes[static_cast<std::size_t>(i)];
    AddressByte(p, size) = '\0';
}

void MemoPage::StringGrid14SetEditText(int row) {
    if (filling() || !IsMemoRow(row)) return;
    const QString text = memoField_->text();
    if (!FitsCp1251(text)) {
        ReloadMemoField(row);
        context().Beep();
        return;
    }
    // Sixteen bytes at most, the rest of the line zero: a full line has no terminator.
    const std::string bytes = StorableBytes(text, kExtraLineLength);
    char* line = plan().ExtraLines[kFirstMemoLine + row - 1];
    for (int i = 0; i < kExtraLineLength; ++i)
        line[i] = static_cast<std::size_t>(i) < bytes.size() ? bytes[static_cast<std::size_t>(i)] : '\0';
    memoGrid_->setCellText(row, kTextColumn, text);
}

}  // namespace kdt::gui
