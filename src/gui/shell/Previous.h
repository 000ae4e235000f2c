// Start-up and single instance: the file argument of a start, the per-user
// lock that tells a first start from a second, and the hand-off of the
// second start's file to the running editor.
#pragma once

#include <functional>
#include <string>

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class QTranslator;

namespace kdt::gui {

// The lock's name, which is also the application's title.
inline constexpr std::string_view kInstanceName = "Zudedezoded ivov";

enum class StartDecision {
    EndAtOnce,         // nothing to do: no window, no hand-off
    HandOff,           // give the argument to the running editor, then end
    RunFirstInstance,  // this start is the editor
};

StartDecision DecideStart(const std::string& fileArgument, bool anotherInstanceRunning);

// The file argument of this start: everything after the program's path, as one path.
std::string FileArgumentOfStart(int argc, char** argv);

// Where the lock and the hand-off channel live: in the user's runtime folder,
// the channel's name joined with the user's identity.
QString InstanceLockPath();
QString HandOffServerName();

// The first start holds this lock for as long as it runs.
class InstanceLock {
public:
    InstanceLock();
    // True when this start is the first: it now holds the lock.
    bool acquire();

private:
    QLockFile lock_;
};

// The running editor's end of the hand-off: a path arrives as its length
// (32 bits, little-endian) and its bytes; the sender is answered only after
// the receiver has dealt with it, dialogs included.
class HandOffServer final : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const QByteArray&)>;
    explicit HandOffServer(Receiver receiver, QObject* parent = nullptr);
    bool listen();

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QLocalServer* server_;
    Receiver receiver_;
};

// The second start's end: sends the path and waits until the running editor
// answers. False when no editor is there to take it.
bool SendHandOff(const QByteArray& path, int connectTimeoutMs = 5000);

// Qt's own texts in Russian, where Qt's translation is installed; false when it is not.
bool InstallQtTranslation(QTranslator& translator);

// The whole program: returns the exit status, 0 in every case.
int RunKdtGui(int argc, char** argv);

}  // namespace kdt::gui
