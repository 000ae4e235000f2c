#include "binding/Page.h"

namespace kdt::gui {

Page::Page(int number, PageContext& context, QWidget* parent)
    : QWidget(parent), number_(number), context_(context) {
    setObjectName(QStringLiteral("Page%1").arg(number));
    context_.AddPage(this, number);
}

void Page::Refill() {
    const FillGuard guard = context_.Fill();
    Fill();
}

}  // namespace kdt::gui
