// Texts a bound control carries besides its value: the hint split into tool
// tip and status bar text, and the name a screen reader announces.
#pragma once

#include <string_view>

#include <QString>

class QWidget;

namespace kdt::gui {

// The visible label's text without "&", a trailing ":" and blanks.
QString AccessibleNameOf(const QString& label);

// "short|long": the tool tip gets the short part, the status bar the long one.
void SetHint(QWidget* widget, std::string_view hint);

}  // namespace kdt::gui
