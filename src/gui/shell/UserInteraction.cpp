#include "shell/UserInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <vector>

namespace kdt::gui {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct BoxButton {
    int id;
    QMessageBox::ButtonRole role;
    const char16_t* caption;
};

// Russian captions whether or not Qt's own translations are installed.
constexpr BoxButton kOk{kIdOk, QMessageBox::AcceptRole, u"OK"};
constexpr BoxButton kCancel{kIdCancel, QMessageBox::RejectRole, u"Отмена"};
constexpr BoxButton kYes{kIdYes, QMessageBox::YesRole, u"Да"};
constexpr BoxButton kNo{kIdNo, QMessageBox::NoRole, u"Нет"};

}  // namespace

QString DisplayedMessageText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    return shown;
}

int UserInteraction::showMessage(QWidget* owner, const MessageRequest& request) {
    QMessageBox box(BoxIcon(request.icon), request.caption, DisplayedMessageText(request.text),
                    QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowModality(request.blocksEverything ? Qt::ApplicationModal : Qt::WindowModal);

    std::vector<BoxButton> buttons;
    switch (request.buttons) {
        case MessageButtons::Ok:
            buttons = {kOk};
            break;
        case MessageButtons::OkCancel:
            buttons = {kOk, kCancel};
            break;
        case MessageButtons::YesNo:
            buttons = {kYes, kNo};
            break;
        case MessageButtons::YesNoCancel:
            buttons = {kYes, kNo, kCancel};
            break;
    }
    QAbstractButton* escape = nullptr;
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (const BoxButton& button : buttons) {
        QPushButton* added = box.addButton(QString::fromUtf16(button.caption), button.role);
        made.emplace_back(added, button.id);
        if (button.id == request.defaultButton || (request.defaultButton == 0 && made.size() == 1))
            box.setDefaultButton(added);
        if (button.id == kIdCancel || button.id == kIdNo || buttons.size() == 1) escape = added;
    }
    if (escape != nullptr) box.setEscapeButton(escape);
    box.exec();
    for (const auto& [button, id] : made)
        if (box.clickedButton() == button) return id;
    return request.buttons == MessageButtons::YesNo ? kIdNo : kIdCancel;
}

QStringList UserInteraction::chooseFiles(QWidget* owner, const FileDialogRequest& request) {
    if (request.kind == FileDialogRequest::Kind::Folder) {
        const QString folder = QFileDialog::getExistingDirectory(owner, request.title, request.startFolder);
        return folder.isEmpty() ? QStringList() : QStringList{folder};
    }
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setNameFilters(request.filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (request.kind == FileDialogRequest::Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Открыть"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Сохранить"));
        if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

void UserInteraction::openDocument(const QString& path, const QString& anchor) {
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    QDesktopServices::openUrl(url);
}

bool UserInteraction::startProgram(const QString& program, const QStringList& arguments,
                                   const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

bool UserInteraction::hasPrinters() {
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool UserInteraction::choosePrinter(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void UserInteraction::showPrintPreview(QWidget* owner, QPrinter& printer,
                                       const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Просмотр отчета"));
    // Pages are tall: most of the screen, so that a page reads without zooming.
    if (const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableGeometry().size() * 0.85);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* shown) { paint(*shown); });
    dialog.exec();
}

void UserInteraction::beep() {
    QApplication::beep();
}

void UserInteraction::endProgram() {
    QCoreApplication::exit(0);
}

}  // namespace kdt::gui
