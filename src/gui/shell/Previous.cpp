#include "shell/Previous.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QtEndian>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

#include "shell/QtText.h"
#include "shell/StartupArgument.h"
#include "shell/Unit1.h"

namespace kdt::gui {
namespace {

constexpr qsizetype kLengthBytes = 4;
constexpr char kProcessed = '\x01';

constexpr bool kPathsIgnoreCase =
#if defined(Q_OS_WIN)
    true;
#else
    false;
#endif

QString RuntimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder;
}

QString UserIdentity() {
#if defined(Q_OS_UNIX)
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// Exceptions that reach the event loop go to the main window's handler.
class KdtApplication final : public QApplication {
public:
    using QApplication::QApplication;
    void setWindow(TKDT* window) { window_ = window; }

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            if (window_ != nullptr) window_->HandleException(ToQString(error.what()));
            return false;
        }
    }

private:
    QPointer<TKDT> window_;
};

}  // namespace

StartDecision DecideStart(const std::string& fileArgument, bool anotherInstanceRunning) {
    const bool projectFile = PassesExtensionTest(fileArgument, kProjectExtensionList);
    if (anotherInstanceRunning)
        return fileArgument.empty() || !projectFile ? StartDecision::EndAtOnce : StartDecision::HandOff;
    return !fileArgument.empty() && !projectFile ? StartDecision::EndAtOnce : StartDecision::RunFirstInstance;
}

std::string FileArgumentOfStart(int argc, char** argv) {
    // The argument vector comes in the system's 8-bit encoding (the ANSI code page on Windows).
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(ToUtf8(QString::fromLocal8Bit(argv[i])));
    const std::string program = argc > 0 ? ToUtf8(QString::fromLocal8Bit(argv[0])) : std::string();
    return ExtractFileArgument(CommandLineFromArguments(program, arguments), kPathsIgnoreCase);
}

QString InstanceLockPath() {
    return QDir(RuntimeFolder()).filePath(ToQString(kInstanceName) + QStringLiteral(".lock"));
}

QString HandOffServerName() {
    const QString name = ToQString(kInstanceName) + QLatin1Char('-') + UserIdentity();
#if defined(Q_OS_WIN)
    return name;
#else
    // A socket in the user's own runtime folder, not in the shared temporary one.
    return QDir(RuntimeFolder()).filePath(name);
#endif
}

InstanceLock::InstanceLock() : lock_(InstanceLockPath()) {
    // Only a lock whose owner has ended is stale, however old it is.
    lock_.setStaleLockTime(0);
}

bool InstanceLock::acquire() {
    return lock_.tryLock(0);
}

HandOffServer::HandOffServer(Receiver receiver, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), receiver_(std::move(receiver)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandOffServer::Accept);
}

bool HandOffServer::listen() {
    const QString name = HandOffServerName();
    if (server_->listen(name)) return true;
    // The lock is ours, so a channel left by an editor that crashed is stale.
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void HandOffServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void HandOffServer::Read(QLocalSocket* socket) {
    if (socket->property("handled").toBool()) return;
    if (socket->bytesAvailable() < kLengthBytes) return;
    const QByteArray header = socket->peek(kLengthBytes);
    const quint32 length = qFromLittleEndian<quint32>(header.constData());
    if (socket->bytesAvailable() < kLengthBytes + static_cast<qint64>(length)) return;
    socket->read(kLengthBytes);
    const QByteArray path = socket->read(length);
    socket->setProperty("handled", true);

    QPointer<QLocalSocket> guard(socket);
    receiver_(path);  // may show dialogs; the sender keeps waiting meanwhile
    if (guard.isNull() || guard->state() != QLocalSocket::ConnectedState) return;
    guard->write(QByteArray(1, kProcessed));
    guard->flush();
    guard->disconnectFromServer();
}

bool SendHandOff(const QByteArray& path, int connectTimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(HandOffServerName());
    if (!socket.waitForConnected(connectTimeoutMs)) return false;
    QByteArray message(kLengthBytes, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(path.size()), message.data());
    message += path;
    socket.write(message);
    if (!socket.waitForBytesWritten(connectTimeoutMs)) return false;
    // Synchronous: the running editor answers once it has opened the file.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(-1)) break;
    }
    return socket.bytesAvailable() > 0 && socket.read(1).at(0) == kProcessed;
}

bool InstallQtTranslation(QTranslator& translator) {
    // The editor speaks Russian; Qt's own dialogs (file dialogs, their
    // overwrite question, standard buttons) say the same language.
    if (!translator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

int RunKdtGui(int argc, char** argv) {
    try {
        const std::string argument = FileArgumentOfStart(argc, argv);
        InstanceLock lock;
        const bool first = lock.acquire();
        switch (DecideStart(argument, !first)) {
            case StartDecision::EndAtOnce:
                return 0;
            case StartDecision::HandOff: {
                QCoreApplication application(argc, argv);
                SendHandOff(QByteArray(argument.data(), static_cast<qsizetype>(argument.size())));
                return 0;
            }
            case StartDecision::RunFirstInstance:
                break;
        }

        KdtApplication application(argc, argv);
        // The title, not a display name: that would be appended to every window caption.
        QCoreApplication::setApplicationName(ToQString(kInstanceName));
        QGuiApplication::setDesktopFileName(QStringLiteral("kdt-gui"));
        QTranslator qtTexts;
        InstallQtTranslation(qtTexts);
        TKDT window;
        application.setWindow(&window);
        window.SetStartupArgument(argument);
        HandOffServer server([&window](const QByteArray& path) { window.ReceiveHandOff(path); });
        server.listen();
        window.show();
        // For the start-up benchmark: the window shown and its file open, then the end.
        if (qEnvironmentVariableIsSet("KDT_EXIT_WHEN_SHOWN"))
            QTimer::singleShot(0, &application, [] { QCoreApplication::exit(0); });
        application.exec();
        return 0;
    } catch (...) {
        return 0;  // a start that fails ends quietly
    }
}

}  // namespace kdt::gui
