// A strip of numbered squares, one per channel, in rows of a fixed number of
// columns: each square with its fill and outline, its number above it, a
// label over one marked square, and a focus square the keyboard moves.
// The colours page shows the 32 channels with it, the directions and
// pedestrian pages their channel rows. It knows nothing of the plan: the
// page sets the colours and reacts to the clicks.
#pragma once

#include <functional>
#include <vector>

#include <QColor>
#include <QWidget>

namespace kdt::gui {

class SquareStrip final : public QWidget {
    Q_OBJECT
public:
    struct Geometry {
        int count = 32;             // squares, numbered from 1
        int columns = 16;           // squares a row; square c + columns stands below square c
        int squareSize = 16;        // edge of a square
        int pitch = 20;             // from one square's left edge to the next one's
        int rowGap = 2;             // between a row's squares and the next row's numbers
        bool markerLine = false;    // room above the numbers for the marked square's label
        qreal numberPointSize = 0;  // the numbers' font size; 0: the widget's font
    };

    explicit SquareStrip(const Geometry& geometry, QWidget* parent = nullptr);

    const Geometry& geometry() const { return geometry_; }
    int count() const { return geometry_.count; }

    // The outline lies inside the square, 1 pixel wide or more.
    void setSquare(int cell, const QColor& fill, const QColor& outline, int outlineWidth = 1);
    QColor fillOf(int cell) const;
    QColor outlineOf(int cell) const;
    int outlineWidthOf(int cell) const;
    // The label with the cell's number over its square; 0 shows none.
    void setMarkedCell(int cell);
    int markedCell() const { return marked_; }

    int focusCell() const { return focus_; }
    void setFocusCell(int cell);
    // The keys go to the owner (the colours page takes them from the main
    // window on their release); the strip then only shows the focus square.
    void setOwnerHandlesKeys(bool on) { ownerHandlesKeys_ = on; }
    // What the accessible description says of a square ("канал 5, зелёный").
    void setDescriber(std::function<QString(int cell)> describe);
    void UpdateDescription();

    // Geometry in widget coordinates; cells from 1.
    QRect squareRect(int cell) const;
    QRect numberRect(int cell) const;
    QRect markerRect(int cell) const;
    int cellAt(const QPoint& point) const;  // 0 where there is no square

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A mouse button released after a press on a square: the square of the
    // press, wherever the release is (the press holds the mouse, as the
    // squares of the description did).
    void cellReleased(int cell, Qt::MouseButton button);
    // Space on the focus square, when the strip handles its keys.
    void cellActivated(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Square {
        QColor fill = Qt::white;
        QColor outline = QColor(0x80, 0x80, 0x80);
        int outlineWidth = 1;
    };

    bool Exists(int cell) const { return cell >= 1 && cell <= geometry_.count; }
    int rows() const { return (geometry_.count + geometry_.columns - 1) / geometry_.columns; }
    QFont numberFont() const;
    int lineHeight() const;
    int rowHeight() const;
    int rowTop(int cell) const;
    int columnLeft(int cell) const;

    Geometry geometry_;
    std::vector<Square> squares_;
    int marked_ = 0;
    int focus_ = 1;
    int pressed_ = 0;
    bool ownerHandlesKeys_ = false;
    std::function<QString(int)> describe_;
};

}  // namespace kdt::gui
