#include "shell/FileAssociation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include "shell/GuiResources.h"
#include "shell/Icons.h"

namespace kdt::gui {
namespace {

// An Exec value in double quotes: the desktop entry rules escape ", `, $ and
// \ inside quotes, the string rules then double every backslash, and a
// literal % is written twice.
QString QuotedExecArgument(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Writes the file unless it already holds these bytes. Returns whether it
// changed; error gets the reason of a failure.
bool WriteIfDifferent(const QString& path, const QByteArray& bytes, QString& error) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create the folder of ") + path;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

void RunIfInstalled(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (!program.isEmpty()) QProcess::startDetached(program, {folder});
}

}  // namespace

QByteArray DesktopEntryText(const QString& programPath) {
    QByteArray text = GuiResource(QStringLiteral("kdt-gui.desktop"));
    const QByteArray execLine = "Exec=kdt-gui %f";
    const QByteArray ownLine = "Exec=" + QuotedExecArgument(programPath).toUtf8() + " %f";
    text.replace(execLine, ownLine);
    return text;
}

QString WriteFileAssociation(const QString& programPath) {
#if defined(Q_OS_WIN)
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    const QString native = QDir::toNativeSeparators(programPath);
    classes.setValue(QStringLiteral(".kdt/Default"), QStringLiteral("kdt.Document"));
    classes.setValue(QStringLiteral("kdt.Document/Default"), QStringLiteral("Проект КДТ"));
    classes.setValue(QStringLiteral("kdt.Document/DefaultIcon/Default"), native + QStringLiteral(",2"));
    classes.setValue(QStringLiteral("kdt.Document/Shell/Open/command/Default"),
                     QLatin1Char('"') + native + QStringLiteral("\" \"%1\""));
    classes.sync();
    return classes.status() == QSettings::NoError ? QString()
                                                  : QStringLiteral("the registry refused the keys");
#else
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty()) return QStringLiteral("no data folder for this user");
    const QDir data(dataHome);
    const QByteArray package = GuiResource(QStringLiteral("kdt-mime.xml"));
    if (package.isEmpty()) return QStringLiteral("the association's templates are missing from the program");
    QString error;
    const bool entryChanged = WriteIfDifferent(data.filePath(QStringLiteral("applications/kdt-gui.desktop")),
                                               DesktopEntryText(programPath), error);
    if (!error.isEmpty()) return error;
    const bool mimeChanged =
        WriteIfDifferent(data.filePath(QStringLiteral("mime/packages/kdt-gui.xml")), package, error);
    if (!error.isEmpty()) return error;
    WriteIfDifferent(data.filePath(QStringLiteral("icons/hicolor/64x64/apps/kdt-gui.png")), AppIconPng(64),
                     error);
    if (!error.isEmpty()) return error;
    // The desktop reads the package only through its compiled database.
    if (mimeChanged)
        RunIfInstalled(QStringLiteral("update-mime-database"), data.filePath(QStringLiteral("mime")));
    if (entryChanged)
        RunIfInstalled(QStringLiteral("update-desktop-database"),
                       data.filePath(QStringLiteral("applications")));
    return {};
#endif
}

}  // namespace kdt::gui
