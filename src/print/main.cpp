#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "PrintCommand.h"

namespace {

// Only the program's own lines reach stderr; Qt's remarks about the
// environment (no runtime folder, no display) are no failure of a print.
void KeepSeriousMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "kdt-print: " << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(KeepSeriousMessages);
    // Pages are drawn, never shown: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return kdt::print::RunKdtPrint(arguments, std::cout, std::cerr);
}
