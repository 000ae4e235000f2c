#include "components/MarkDelegate.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace kdt::gui {
namespace {

// The text's margin inside a cell, as the style draws an item's text.
QRect TextRect(const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    return style->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget);
}

qreal Advance(const QFontMetricsF& metrics, QChar c) {
    return c == MarkDelegate::kMark ? metrics.horizontalAdvance(QLatin1Char('0'))
                                    : metrics.horizontalAdvance(c);
}

qreal TextStart(const QString& text, const QFontMetricsF& metrics, const QRect& rect,
                Qt::Alignment alignment) {
    qreal width = 0;
    for (const QChar c : text) width += Advance(metrics, c);
    if (alignment & Qt::AlignRight) return rect.right() + 1 - width;
    if (alignment & Qt::AlignHCenter) return rect.left() + (rect.width() - width) / 2;
    return rect.left();
}

}  // namespace

QVector<QRectF> MarkDelegate::MarkRects(const QString& text, const QFont& font, const QRect& rect,
                                        Qt::Alignment alignment) {
    const QFontMetricsF metrics(font);
    const qreal digit = metrics.horizontalAdvance(QLatin1Char('0'));
    // A square a little narrower than a digit, standing where a digit's body would.
    const qreal side = std::max<qreal>(3, std::min(digit - 1, metrics.ascent() * 0.7));
    const qreal top = rect.top() + (rect.height() - side) / 2;
    QVector<QRectF> marks;
    qreal x = TextStart(text, metrics, rect, alignment);
    for (const QChar c : text) {
        if (c == kMark) marks.push_back(QRectF(x + (digit - side) / 2, top, side, side));
        x += Advance(metrics, c);
    }
    return marks;
}

void MarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    if (!text.contains(kMark)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell without its text, then the text one character at a time.
    item.text.clear();
    const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    item.text = text;
    const QRect rect = TextRect(item);
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    const QColor ink =
        item.palette.color(item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                           selected ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(ink);
    const QFontMetricsF metrics(item.font);
    qreal x = TextStart(text, metrics, rect, item.displayAlignment);
    const qreal baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    for (const QChar c : text) {
        if (c != kMark && c != QLatin1Char(' ')) painter->drawText(QPointF(x, baseline), QString(c));
        x += Advance(metrics, c);
    }
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (const QRectF& mark : MarkRects(text, item.font, rect, item.displayAlignment))
        painter->fillRect(mark, ink);
    painter->restore();
}

}  // namespace kdt::gui
