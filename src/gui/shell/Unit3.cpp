#include "shell/Unit3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "binding/FieldTexts.h"
#include "components/KeyFilters.h"
#include "components/PlainLineEdit.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "data/TypeKDT.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

constexpr bool kPathsIgnoreCase =
#if defined(Q_OS_WIN)
    true;
#else
    false;
#endif

struct PathFieldLine {
    const char* objectName;
    std::string_view label;
    bool browses;  // the browse button serves it
};

constexpr std::array<PathFieldLine, 5> kPathFields = {{
    {"LabeledEdit1", "Папка с файлами проектов КДТ (*.KDT и *.KDT2)", true},
    {"LabeledEdit2", "Папка с файлами для программатора (*.HEX или *.BIN)", true},
    {"LabeledEdit3", "Путь для запуска программатора ПЗУ", true},
    {"LabeledEdit4", "Папка с файлами проектов КДТ (*.DBF)", true},
    {"LabeledEdit5", "Параметры запуска программатора", false},
}};

constexpr int kProgrammerTag = 3;

}  // namespace

QString StoredPathText(const QString& typed) {
    return kPathsIgnoreCase ? typed.toUpper() : typed;
}

TForm3::TForm3(KdtSettings& settings, UserInteraction& interaction, QWidget* parent)
    : QDialog(parent), settings_(settings), interaction_(interaction) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(ToQString("Настройка"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    Build();
    Fill();
    setFixedSize(sizeHint());
    if (parent != nullptr) move(parent->geometry().center() - rect().center());
}

void TForm3::Build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 0);
    layout->setSpacing(2);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    layout->addLayout(grid);

    browse_ = new QToolButton(this);
    browse_->setObjectName(QStringLiteral("BrowseButton"));
    browse_->setText(QStringLiteral("..."));
    browse_->setToolTip(ToQString("Выбор папки и/или файла"));
    browse_->setAccessibleName(ToQString("Выбор папки и/или файла"));
    browse_->setFocusPolicy(Qt::NoFocus);
    browse_->hide();
    connect(browse_, &QToolButton::clicked, this, [this] { Browse(); });

    int row = 0;
    const auto addPathField = [&](int tag) {
        const PathFieldLine& line = kPathFields[static_cast<std::size_t>(tag - 1)];
        auto* label = new QLabel(ToQString(line.label), this);
        auto* field = new PlainLineEdit(this);
        field->setObjectName(QString::fromLatin1(line.objectName));
        field->setAccessibleName(AccessibleNameOf(label->text()));
        field->setMinimumWidth(340);
        label->setBuddy(field);
        grid->addWidget(label, row++, 0, 1, 3);
        grid->addWidget(field, row++, 0, 1, 3);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, tag] { FieldChanged(tag); });
        fields_[static_cast<std::size_t>(tag - 1)] = field;
        labels_[static_cast<std::size_t>(tag - 1)] = label;
    };
    for (int tag = 1; tag <= 4; ++tag) addPathField(tag);

    auto* romLabel = new QLabel(ToQString("Тип ПЗУ \"по умолчанию\""), this);
    romType_ = new QComboBox(this);
    romType_->setObjectName(QStringLiteral("TypePZU"));
    romType_->setAccessibleName(AccessibleNameOf(romLabel->text()));
    for (const std::string_view name : kRomTypeNames) romType_->addItem(ToQString(name));
    romLabel->setBuddy(romType_);
    connect(romType_, &QComboBox::activated, this, [this](int index) {
        settings_.defaultRomText = QString::number(index);
        settings_.defaultRom = index;
    });

    auto* speedLabel = new QLabel(ToQString("Скорость \"по умолчанию\" (км/ч) :"), this);
    speed_ = new UpDownEdit(this);
    speed_->setObjectName(QStringLiteral("LabeledEdit6"));
    speed_->setAccessibleName(AccessibleNameOf(speedLabel->text()));
    speed_->setMaxLength(3);
    speed_->setRange(kSpeedArrowMinimum, kSpeedArrowMaximum);
    speed_->setSingleStep(kSpeedArrowStep);
    speed_->setToolTip(ToQString("километров в час"));
    speed_->setStatusTip(ToQString("+/-  5 км/ч"));
    speed_->setFixedWidth(60);
    speedLabel->setBuddy(speed_);
    NumberKeyFilter::Install(speed_, [this] { interaction_.beep(); });

    grid->addWidget(romLabel, row, 0);
    grid->addWidget(speedLabel, row++, 1, 1, 2);
    grid->addWidget(romType_, row, 0);
    grid->addWidget(speed_, row++, 1);

    analyse_ = new QCheckBox(ToQString("Анализировать проект перед компиляцией"), this);
    analyse_->setObjectName(QStringLiteral("AnalizKdt"));
    fileType_ = new RadioGroup(ToQString("Тип файла для программатора"),
                               {ToQString("HEX (Intel)"), ToQString("BIN")}, 2, this);
    fileType_->setObjectName(QStringLiteral("TypeFile"));
    connect(fileType_, &RadioGroup::itemChosen, this, [this](int item) {
        settings_.fileType = item;
        settings_.fileTypeText = QString::number(item);
    });
    grid->addWidget(analyse_, row++, 0, 1, 3);
    grid->addWidget(fileType_, row++, 0, 1, 3);
    addPathField(5);

    status_ = new QStatusBar(this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);
}

void TForm3::Fill() {
    for (int tag = 1; tag <= 5; ++tag) pathField(tag)->setText(*SettingOf(tag));
    romType_->setCurrentIndex(
        settings_.defaultRom >= 0 && settings_.defaultRom < romType_->count() ? settings_.defaultRom : -1);
    speed_->setText(settings_.defaultSpeedText);
    analyse_->setChecked(settings_.showErrors != 0);
    fileType_->setItemIndex(settings_.fileType);
}

QString* TForm3::SettingOf(int tag) const {
    switch (tag) {
        case 1:
            return &settings_.projectFolder;
        case 2:
            return &settings_.romFolder;
        case 3:
            return &settings_.programmerPath;
        case 4:
            return &settings_.dbfFolder;
        default:
            return &settings_.programmerParameters;
    }
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (int tag = 1; tag <= 5; ++tag)
            if (watched == pathField(tag)) FieldEntered(tag);
    return QDialog::eventFilter(watched, event);
}

void TForm3::FieldEntered(int tag) {
    status_->showMessage(labels_[static_cast<std::size_t>(tag - 1)]->text());
    if (!kPathFields[static_cast<std::size_t>(tag - 1)].browses) {
        browse_->hide();
        return;
    }
    // The browse button stands at the right end of the field being edited.
    PlainLineEdit* field = pathField(tag);
    const int side = field->height();
    browse_->setFixedSize(side, side);
    browse_->move(field->geometry().right() - side + 1, field->geometry().top());
    browse_->raise();
    browse_->show();
    browseTag_ = tag;
}

void TForm3::FieldChanged(int tag) {
    PlainLineEdit* field = pathField(tag);
    const QString stored = StoredPathText(field->text());
    if (stored != field->text()) {
        const int caret = field->cursorPosition();
        field->setText(stored);
        field->setCursorPosition(caret);
    }
    *SettingOf(tag) = stored;
}

void TForm3::Browse() {
    if (browseTag_ < 1 || browseTag_ > 4) return;
    const QString current = *SettingOf(browseTag_);
    FileDialogRequest request;
    request.kind =
        browseTag_ == kProgrammerTag ? FileDialogRequest::Kind::Open : FileDialogRequest::Kind::Folder;
    request.title = ToQString("Выбор папки и/или файла");
    const QFileInfo info(current);
    request.startFolder = info.isDir() ? current : info.absolutePath();
    if (browseTag_ == kProgrammerTag && info.isFile()) request.fileName = current;
    const QStringList chosen = interaction_.chooseFiles(this, request);
    if (chosen.isEmpty() || chosen.front().isEmpty()) return;
    PlainLineEdit* field = pathField(browseTag_);
    field->setText(StoredPathText(QDir::toNativeSeparators(chosen.front())));
    *SettingOf(browseTag_) = field->text();
}

void TForm3::TakeOver() {
    for (int tag = 1; tag <= 5; ++tag) *SettingOf(tag) = StoredPathText(pathField(tag)->text());
    const int fileType = fileType_->itemIndex();
    if (fileType >= 0) {
        settings_.fileType = fileType;
        settings_.fileTypeText = QString::number(fileType);
    }
    settings_.showErrors = analyse_->isChecked() ? 1 : 0;
    settings_.showErrorsText = analyse_->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    // Only a speed a plan can hold is taken as typed; anything else is the arrows' value,
    // so the next start's conversion never stops at it.
    const std::optional<int> typed = ParseWholeNumber(speed_->text());
    const int speed = typed && *typed <= kTypedSpeedMaximum ? *typed : speed_->position();
    settings_.defaultSpeed = static_cast<std::uint8_t>(speed);
    settings_.defaultSpeedText = QString::number(speed);
    const int rom = romType_->currentIndex();
    if (rom >= 0) {
        settings_.defaultRom = rom;
        settings_.defaultRomText = QString::number(rom);
    }
}

void TForm3::done(int result) {
    // Escape, the close button and any other way out take the values over alike.
    if (!takenOver_) {
        takenOver_ = true;
        TakeOver();
    }
    QDialog::done(result);
}

}  // namespace kdt::gui
