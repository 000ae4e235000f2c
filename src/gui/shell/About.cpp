#include "shell/About.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "shell/Icons.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

constexpr std::string_view kApplicationTitle = "Zudedezoded ivov";

QLabel* AddLabel(QWidget* box, QGridLayout* grid, const char* name, const QString& text, int row, int column,
                 int columns = 1) {
    auto* label = new QLabel(text, box);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, row, column, 1, columns);
    return label;
}

void ShowIfGiven(QLabel* label, const QString& prefix, const QString& value) {
    if (!value.isEmpty()) label->setText(prefix + value);
}

}  // namespace

VersionTexts CompiledVersionTexts() {
    return {ToQString(KDT_COMPANY_NAME), ToQString(KDT_PRODUCT_NAME),    ToQString(KDT_PRODUCT_VERSION),
            ToQString(KDT_FILE_VERSION), ToQString(KDT_LEGAL_COPYRIGHT), ToQString(KDT_COMMENTS)};
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(ToQString("   О программе"));
    // A title bar without buttons, above everything.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setModal(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 8);
    grid->setHorizontalSpacing(12);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(AppIcon().pixmap(64, 64));
    grid->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
    QLabel* company = AddLabel(this, grid, "CompanyName", ToQString("КДТ для Windows"), 0, 1);
    QFont bold = company->font();
    bold.setBold(true);
    company->setFont(bold);
    AddLabel(this, grid, "ProductName", ToQString(kApplicationTitle), 1, 1);
    AddLabel(this, grid, "ProductVersion", ToQString("Product Version: "), 2, 1);
    AddLabel(this, grid, "FileVersion", ToQString("File Version: "), 3, 1);
    AddLabel(this, grid, "LegalCopyright", QString(), 4, 0, 2);
    AddLabel(this, grid, "Comments", ToQString("Редактор схемы организации движения"), 5, 0, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    grid->addWidget(buttons, 6, 0, 1, 2, Qt::AlignCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    setFixedSize(std::max(294, sizeHint().width()), std::max(229, sizeHint().height()));
}

QLabel* TAboutBox::label(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

void TAboutBox::ShowVersion(const VersionTexts& texts) {
    label("ProductName")->setText(ToQString(kApplicationTitle));
    ShowIfGiven(label("CompanyName"), QString(), texts.companyName);
    ShowIfGiven(label("ProductName"), QString(), texts.productName);
    ShowIfGiven(label("ProductVersion"), QStringLiteral("Product Version: "), texts.productVersion);
    ShowIfGiven(label("FileVersion"), QStringLiteral("File Version: "), texts.fileVersion);
    ShowIfGiven(label("LegalCopyright"), QString(), texts.legalCopyright);
    ShowIfGiven(label("Comments"), QString(), texts.comments);
}

void TAboutBox::Open() {
    ShowVersion(CompiledVersionTexts());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void TAboutBox::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

}  // namespace kdt::gui
