#include "components/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace kdt::gui {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 0, 4, 0);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(0);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("Item%1").arg(i));
        group_->addButton(button, i);
        layout->addWidget(button, i % rows, i / rows);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit itemChosen(id);
    });
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
        return;
    }
    // No item: the exclusive group has to let go to leave all unchecked.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
}

QRadioButton* RadioGroup::item(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

int RadioGroup::count() const {
    return static_cast<int>(group_->buttons().size());
}

}  // namespace kdt::gui
