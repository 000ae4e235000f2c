// Draws the grids' mark character (code 1, which most fonts show as nothing
// or as a box) as a filled square in its character cell. The model keeps
// the character itself, so the text of a cell stays what the page wrote.
#pragma once

#include <QStyledItemDelegate>
#include <QVector>

namespace kdt::gui {

class MarkDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr QChar kMark = QChar(1);

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Where each character of the text goes in the rectangle, laid out as
    // the text would be (a mark takes the width of a digit): the squares of
    // the marks, one per mark character, left to right.
    static QVector<QRectF> MarkRects(const QString& text, const QFont& font, const QRect& rect,
                                     Qt::Alignment alignment);
};

}  // namespace kdt::gui
