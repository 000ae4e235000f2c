// The files compiled into the program: the association's templates and the help page.
#pragma once

#include <QByteArray>
#include <QString>

namespace kdt::gui {

// The bytes of a file of resources/gui.qrc, by its name; empty when it is missing.
QByteArray GuiResource(const QString& name);

}  // namespace kdt::gui
