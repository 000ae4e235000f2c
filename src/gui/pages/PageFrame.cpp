#include "pages/PageFrame.h"

namespace kdt::gui {

TPageFrame::TPageFrame(int number, const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), number_(number) {
    setObjectName(QStringLiteral("PageFrame%1").arg(number));
    // The page switch gives the frame the focus, so it must be able to take it.
    setFocusPolicy(Qt::ClickFocus);
}

}  // namespace kdt::gui
