// A single-line field that takes text only from the keyboard: no context
// menu, no drops (a dropped project must open, not land as text), no
// middle-click paste of the X11 selection.
#pragma once

#include <QLineEdit>

namespace kdt::gui {

class PlainLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PlainLineEdit(QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kdt::gui
