// Everything the editor asks of the user or of the desktop goes through one
// object: message boxes, file dialogs, documents and programs started. The
// tests put a scripted one in its place to answer the questions.
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace kdt::gui {

// Button results, numbered as the original platform numbers them.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct MessageRequest {
    QString caption;
    QString text;  // line breaks inside are "\n\r"
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    int defaultButton = 0;          // a kId value; 0 is the first button
    bool blocksEverything = false;  // the exception handler's box
};

struct FileDialogRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString title;
    QStringList filters;  // "description (*.a *.b)"
    QString startFolder;
    QString fileName;
    QString defaultSuffix;         // without the dot
    bool several = false;          // an open dialog that takes several files
    bool confirmOverwrite = true;  // a save dialog asks before an existing file is replaced
};

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // Shows the box top-most, owned by owner, and returns the kId of the button pressed.
    virtual int showMessage(QWidget* owner, const MessageRequest& request);

    // The files chosen, in the order given; empty when the dialog was cancelled.
    virtual QStringList chooseFiles(QWidget* owner, const FileDialogRequest& request);

    // Shows a file in the desktop's viewer for its kind, at the anchor when one is given.
    virtual void openDocument(const QString& path, const QString& anchor = QString());

    // Starts a program without waiting for it; false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder);

    // Whether any printer is installed.
    virtual bool hasPrinters();
    // The print dialog on the printer as preset; true when the user chose to print.
    virtual bool choosePrinter(QWidget* owner, QPrinter& printer);
    // The print preview of the printer's pages, which paint draws whenever
    // the preview needs them.
    virtual void showPrintPreview(QWidget* owner, QPrinter& printer,
                                  const std::function<void(QPrinter&)>& paint);

    // The beep of a refused entry.
    virtual void beep();

    // Ends the program's event loop at once ("Выход").
    virtual void endProgram();
};

// A text as a message box shows it: the "\n\r" breaks of the system's
// texts become one line break each.
QString DisplayedMessageText(const QString& text);

}  // namespace kdt::gui
