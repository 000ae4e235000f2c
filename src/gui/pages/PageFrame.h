// The frame of one editor page: its caption and its number. The pages'
// controls are built inside it by the page classes.
#pragma once

#include <QGroupBox>

namespace kdt::gui {

class TPageFrame : public QGroupBox {
    Q_OBJECT
public:
    TPageFrame(int number, const QString& caption, QWidget* parent = nullptr);
    int number() const { return number_; }

private:
    int number_;
};

}  // namespace kdt::gui
