// Sixteen squares in a row, one per direction, with the direction numbers
// above them. The page says how each is filled; a left click (pressed and
// released on the same square) or Space on the focus square asks to toggle.
#pragma once

#include <array>

#include <QWidget>

namespace kdt::gui {

class DirectionSquares final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCount = 16;
    enum class SquareFill { White, Black, Silver };

    explicit DirectionSquares(QWidget* parent = nullptr);

    void setFill(int square, SquareFill fill);  // square 1..16
    SquareFill fill(int square) const;
    // Where square 1..16 lies; the numbers stand above it.
    QRect squareRect(int square) const;
    // The square under a point, 0 for none (the numbers, the gaps, outside).
    int squareAt(const QPoint& point) const;
    int focusSquare() const { return focus_; }
    // The tool tip over the numbers (the squares have their own hint).
    void setNumbersToolTip(const QString& text) { numbersToolTip_ = text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void squareClicked(int square);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int numbersHeight() const;
    int pitch() const;
    void setFocusSquare(int square);
    void DescribeFocusSquare();

    std::array<SquareFill, kCount> fills_{};
    int pressed_ = 0;
    int focus_ = 1;
    QString numbersToolTip_;
};

}  // namespace kdt::gui
