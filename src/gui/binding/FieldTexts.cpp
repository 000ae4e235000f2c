#include "binding/FieldTexts.h"

#include <QWidget>

#include "pages/PageTable.h"
#include "shell/QtText.h"

namespace kdt::gui {

QString AccessibleNameOf(const QString& label) {
    QString name = label;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':'))) name = name.chopped(1).trimmed();
    return name;
}

void SetHint(QWidget* widget, std::string_view hint) {
    if (hint.empty()) return;
    const QString shortPart = ToQString(HintShortPart(hint));
    if (!shortPart.isEmpty()) widget->setToolTip(shortPart);
    widget->setStatusTip(ToQString(HintLongPart(hint)));
}

}  // namespace kdt::gui
