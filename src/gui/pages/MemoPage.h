// Page 11, "Доп.Параметры / Мемо поля": the remote station's address and TCP
// port in lines 0..3 of the plan's extra lines, and the 28 memo lines after
// them. Nothing here keeps journal entries.
#pragma once

#include <string>
#include <string_view>

#include "binding/Page.h"

namespace kdt::gui {

class CellEditor;
class GridTable;
class PlainLineEdit;

namespace memo {
inline constexpr int kAddressBytes = 63;  // and its zero byte, in lines 0..3
inline constexpr int kFirstMemoLine = 4;
inline constexpr int kMemoFields = kExtraLineSlots - kFirstMemoLine;  // 28
inline constexpr int kTextColumn = 1;
}  // namespace memo

// Windows-1251 bytes as the page stores them: the blanks and control bytes
// (up to 0x20) cut from both ends.
std::string TrimmedBytes(std::string_view bytes);
// The stored text of the address (at most 63 bytes, up to its zero byte)
// and of memo field n = 1..28 (at most 16 bytes, up to its zero byte).
std::string StoredAddress(const TSignalPlan& plan);
std::string StoredMemo(const TSignalPlan& plan, int field);

class MemoPage final : public Page {
    Q_OBJECT
public:
    MemoPage(PageContext& context, QWidget* parent);

    void Fill() override;  // DopParamClick
    void SelectionsReset() override;

    int currentField() const { return field_; }

    // The handlers, as the controls call them.
    void IP_DNS_PortChange();
    // Memo field n's cell edited: stored into that field's line.
    void StringGrid14SetEditText(int row);
    void StringGrid14SelectCell(int row, bool focusField);

private:
    void BuildAddress();
    void BuildMemoGrid();
    void ReloadMemoField(int row);

    PlainLineEdit* address_ = nullptr;  // IP_DNS_Port
    GridTable* memoGrid_ = nullptr;     // StringGrid14
    CellEditor* memoField_ = nullptr;
    int field_ = 1;
};

}  // namespace kdt::gui
