#include "shell/GuiResources.h"

#include <QFile>

// A static library's resources are registered only when asked for, from the global namespace.
static void RegisterGuiResources() {
    Q_INIT_RESOURCE(gui);
}

namespace kdt::gui {

QByteArray GuiResource(const QString& name) {
    static const bool registered = (RegisterGuiResources(), true);
    (void)registered;
    QFile file(QStringLiteral(":/kdt/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kdt::gui
