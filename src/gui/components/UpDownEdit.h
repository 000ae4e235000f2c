// A number field with up and down arrows, as the editor's pages have them:
// the text is free (the page's handler decides what an entry means), the
// arrows, the wheel and the Up/Down keys step the position within the limits
// and write it as the text.
#pragma once

#include <optional>

#include "components/PlainLineEdit.h"

class QToolButton;

namespace kdt::gui {

class UpDownEdit : public PlainLineEdit {
    Q_OBJECT
public:
    explicit UpDownEdit(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);  // leaves the text as it is
    void setSingleStep(int step) { step_ = step > 0 ? step : 1; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // The position the arrows step from: the text's number clamped into the
    // limits, or the last position when the text is no number.
    int position() const;
    // Clamps into the limits and writes the position as the text.
    void setPosition(int value);
    void stepBy(int steps);

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::optional<int> positionInText() const;

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 1;
};

// A whole decimal number of at most nine digits, nothing else; leading
// blanks are skipped, as number fields always read them.
std::optional<int> ParseWholeNumber(const QString& text);

}  // namespace kdt::gui
