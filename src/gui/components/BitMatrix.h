// A matrix of cells, rows × columns, each row one word of bits (bit c for
// column c): a cell is black where its bit is set. The directions page shows
// a direction's five structures with it (5 × 32), the pedestrian page its
// buttons' "Ждите" masks (4 × 32). It knows nothing of the plan: the owner
// sets the words and reacts to the releases.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QPoint>
#include <QSize>
#include <QWidget>

namespace kdt::gui {

// A cell by row and column, both from 0.
struct MatrixCell {
    int row = 0;
    int column = 0;
    bool operator==(const MatrixCell&) const = default;
};

class BitMatrix final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxColumns = 32;

    BitMatrix(int rows, int columns, QSize cellSize, QWidget* parent = nullptr);

    int rows() const { return static_cast<int>(bits_.size()); }
    int columns() const { return columns_; }
    QSize cellSize() const { return cellSize_; }

    void setRowBits(int row, std::uint32_t bits);
    std::uint32_t rowBits(int row) const;
    bool isSet(int row, int column) const;

    QRect cellRect(int row, int column) const;
    // The cell a release at the point means: none above, left or right of
    // the cells; below the last row counts as the last row unless releases
    // there are ignored too.
    std::optional<MatrixCell> cellAtRelease(const QPoint& point) const;
    void setReleaseBelowIgnored(bool ignored) { releaseBelowIgnored_ = ignored; }

    MatrixCell focusCell() const { return focus_; }
    void setFocusCell(MatrixCell cell);
    // What the accessible description says of a cell.
    void setDescriber(std::function<QString(MatrixCell)> describe);
    void UpdateDescription();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A mouse button released over the cells (any button).
    void cellReleased(MatrixCell cell, Qt::MouseButton button);
    // Space on the focus cell.
    void cellActivated(MatrixCell cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Exists(MatrixCell cell) const {
        return cell.row >= 0 && cell.row < rows() && cell.column >= 0 && cell.column < columns_;
    }

    std::vector<std::uint32_t> bits_;
    int columns_;
    QSize cellSize_;
    MatrixCell focus_;
    bool releaseBelowIgnored_ = false;
    std::function<QString(MatrixCell)> describe_;
};

}  // namespace kdt::gui
Q_DECLARE_METATYPE(kdt::gui::MatrixCell)
