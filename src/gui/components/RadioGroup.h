// A framed group of radio buttons with one item chosen, as the pages use
// for interface and ROM types. Choosing an item, by the user or by the
// program, tells itemChosen; reading the index never changes it.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace kdt::gui {

class RadioGroup final : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const;         // -1 when none is chosen
    void setItemIndex(int index);  // an index outside the items chooses none
    QRadioButton* item(int index) const;
    int count() const;

signals:
    void itemChosen(int index);

private:
    QButtonGroup* group_;
};

}  // namespace kdt::gui
