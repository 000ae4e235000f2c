#include "report/Unit4.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "components/KeyFilters.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "data/TextEncoding.h"
#include "report/PrintLayout.h"
#include "shell/QtText.h"
#include "shell/UserInteraction.h"

namespace kdt::gui {
namespace {

// Outer sizes, frame included; Qt sizes a window without its frame, which is
// unknown before it is shown, so a nominal frame is taken off.
constexpr QSize kNominalFrame(6, 25);
constexpr QSize kSmallSize(350, 318);
constexpr QSize kLargeSize(550, 400);

constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 24;
constexpr int kDefaultFontSize = 10;

// The captions of the sixteen boxes, box n at [n - 1].
constexpr std::array<std::string_view, kReportBoxCount> kBoxCaptions = {"Параметры",
                                                                        "Цвета",
                                                                        "Уставки",
                                                                        "Направления",
                                                                        "Фазы",
                                                                        "Зеленые улицы",
                                                                        "Программы",
                                                                        "Табло вызова пешеходом",
                                                                        "Суточный график",
                                                                        "Включение контроллера",
                                                                        "План координации",
                                                                        "УСК",
                                                                        "Детекторы",
                                                                        "Дополнительно",
                                                                        "Графика Сигнальных программ",
                                                                        "Графика Перекрёстка"};

QString Text(std::string_view utf8) {
    return ToQString(utf8);
}

QPushButton* Button(const QString& name, std::string_view caption, QWidget* parent) {
    auto* button = new QPushButton(Text(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QSize ClientSize(QSize outer) {
    return outer - kNominalFrame;
}

// The font size is changed with the arrows (and the Up and Down keys) only:
// nothing typed, deleted or pasted reaches the field.
class ArrowsOnly final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return false;
            default:
                return true;
        }
    }
};

// A PDF-format printer laid out as the PDF output is, for previewing where no printer is.
void SetUpPdfPrinter(QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kPdfResolution);
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kPdfMarginMillimetres, kPdfMarginMillimetres, kPdfMarginMillimetres, kPdfMarginMillimetres),
        QPageLayout::Millimeter));
}

}  // namespace

QString ProposedReportName(const QString& projectFileName) {
    const qsizetype slash = std::max(projectFileName.lastIndexOf(QLatin1Char('/')),
                                     projectFileName.lastIndexOf(QLatin1Char('\\')));
    return QFileInfo(projectFileName.mid(slash + 1)).completeBaseName();
}

TOtcet::TOtcet(const Setting& setting, QWidget* parent) : QDialog(parent), setting_(setting) {
    setObjectName(QStringLiteral("Otcet"));
    setWindowTitle(Text("Отчет"));
    setModal(true);
    // Laid out for a small dialog font, as the editor's pages are.
    QFont small = font();
    small.setPointSizeF(std::min(small.pointSizeF(), 8.0));
    setFont(small);

    available_ = AvailableReportBoxes(setting_.plan);
    panels_ = new QStackedWidget(this);
    panels_->setObjectName(QStringLiteral("Panels"));
    panels_->addWidget(BuildSectionsPanel());
    panels_->addWidget(BuildOutputPanel());
    panels_->addWidget(BuildEditorPanel());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panels_);
    ShowPanel(1);
}

QWidget* TOtcet::BuildSectionsPanel() {
    auto* panel = new QGroupBox(Text(" Типы данных включаемых в отчет "));
    panel->setObjectName(QStringLiteral("SectionsPanel"));
    auto* grid = new QGridLayout;
    const ReportBoxes ticked = DefaultReportBoxes();
    for (int n = 1; n <= kReportBoxCount; ++n) {
        auto* box = new QCheckBox(Text(kBoxCaptions[static_cast<std::size_t>(n - 1)]), panel);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(n));
        box->setChecked(ticked[static_cast<std::size_t>(n - 1)]);
        box->setEnabled(available_[static_cast<std::size_t>(n - 1)]);
        connect(box, &QCheckBox::toggled, this, &TOtcet::RefreshPrintEnabled);
        boxes_[static_cast<std::size_t>(n - 1)] = box;
        grid->addWidget(box, (n - 1) % 8, (n - 1) / 8);
    }
    sectionsPrint_ = Button(QStringLiteral("SectionsPrintButton"), "Печать...", panel);
    QPushButton* selectAll = Button(QStringLiteral("SelectAllButton"), "Выделить все", panel);
    QPushButton* clearAll = Button(QStringLiteral("ClearAllButton"), "Отменить все", panel);
    connect(sectionsPrint_, &QPushButton::clicked, this, &TOtcet::SectionsPrintClick);
    connect(selectAll, &QPushButton::clicked, this, &TOtcet::SelectAllClick);
    connect(clearAll, &QPushButton::clicked, this, &TOtcet::ClearAllClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sectionsPrint_);
    buttons->addWidget(selectAll);
    buttons->addWidget(clearAll);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    RefreshPrintEnabled();
    return panel;
}

QWidget* TOtcet::BuildOutputPanel() {
    auto* panel = new QGroupBox(Text("Печать отчета "));
    panel->setObjectName(QStringLiteral("OutputPanel"));
    outputGroup_ =
        new RadioGroup(Text("Куда выводить ?"), {Text("Принтер"), Text("Файл"), Text("PDF")}, 1, panel);
    outputGroup_->setObjectName(QStringLiteral("OutputGroup"));
    outputGroup_->setItemIndex(static_cast<int>(ReportOutput::Printer));
    QPushButton* print = Button(QStringLiteral("OutputPrintButton"), "Печать...", panel);
    QPushButton* editor = Button(QStringLiteral("EditorButton"), "Редактор...", panel);
    QPushButton* preview = Button(QStringLiteral("PreviewButton"), "Просмотр...", panel);
    QPushButton* cancel = Button(QStringLiteral("CancelButton"), "Отмена", panel);
    connect(print, &QPushButton::clicked, this, &TOtcet::OutputPrintClick);
    connect(editor, &QPushButton::clicked, this, &TOtcet::EditorClick);
    connect(preview, &QPushButton::clicked, this, &TOtcet::PreviewClick);
    connect(cancel, &QPushButton::clicked, this, &TOtcet::CancelClick);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {print, editor, preview, cancel}) buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(panel);
    layout->addWidget(outputGroup_, 0, Qt::AlignTop);
    layout->addLayout(buttons);
    return panel;
}

QWidget* TOtcet::BuildEditorPanel() {
    auto* panel = new QGroupBox(Text("Предварительный просмотр"));
    panel->setObjectName(QStringLiteral("EditorPanel"));
    text_ = new QPlainTextEdit(panel);
    text_->setObjectName(QStringLiteral("ReportText"));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setFont(ReportFont(kDefaultFontSize));
    text_->setAccessibleName(Text("Текст отчета"));
    // The report is saved in Windows-1251: what it cannot hold is not typed.
    TextKeyFilter::Install(text_, [this] {
        if (setting_.interaction != nullptr) setting_.interaction->beep();
    });

    auto* label = new QLabel(Text("Размер шрифта "), panel);
    fontSize_ = new UpDownEdit(panel);
    fontSize_->setObjectName(QStringLiteral("FontSizeEdit"));
    fontSize_->setRange(kMinFontSize, kMaxFontSize);
    fontSize_->setPosition(kDefaultFontSize);
    fontSize_->installEventFilter(new ArrowsOnly(fontSize_));
    fontSize_->setFixedWidth(fontSize_->sizeHint().width());
    label->setBuddy(fontSize_);
    connect(fontSize_, &QLineEdit::textChanged, this, &TOtcet::ApplyFontSize);
    QPushButton* back = Button(QStringLiteral("BackButton"), "Назад", panel);
    connect(back, &QPushButton::clicked, this, &TOtcet::BackClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label);
    bottom->addWidget(fontSize_);
    bottom->addStretch();
    bottom->addWidget(back);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(text_);
    layout->addLayout(bottom);
    return panel;
}

void TOtcet::ShowPanel(int number) {
    panels_->setCurrentIndex(number - 1);
    resize(ClientSize(number == 3 ? kLargeSize : kSmallSize));
}

int TOtcet::panel() const {
    return panels_->currentIndex() + 1;
}

ReportBoxes TOtcet::ticked() const {
    ReportBoxes ticked{};
    for (std::size_t i = 0; i < boxes_.size(); ++i) ticked[i] = boxes_[i]->isChecked();
    return ticked;
}

ReportOutput TOtcet::output() const {
    return static_cast<ReportOutput>(outputGroup_->itemIndex());
}

void TOtcet::RefreshPrintEnabled() {
    const ReportBoxes now = ticked();
    sectionsPrint_->setEnabled(std::find(now.begin(), now.end(), true) != now.end());
}

void TOtcet::SelectAllClick() {
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (available_[i]) boxes_[i]->setChecked(true);
    sectionsPrint_->setEnabled(true);
}

void TOtcet::ClearAllClick() {
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (available_[i]) boxes_[i]->setChecked(false);
    sectionsPrint_->setEnabled(false);
}

void TOtcet::SectionsPrintClick() {
    const bool printers = setting_.interaction != nullptr && setting_.interaction->hasPrinters();
    if (!printers) {
        outputGroup_->item(static_cast<int>(ReportOutput::Printer))->setEnabled(false);
        outputGroup_->setItemIndex(static_cast<int>(ReportOutput::File));
    }
    const std::vector<std::string> lines = ComposeReport(setting_.plan, SectionsOf(ticked()), setting_.today);
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) shown << ToQString(line);
    // No line break after the last line: each line is one block of the box.
    text_->setPlainText(shown.join(QLatin1Char('\n')));
    ShowPanel(2);
}

void TOtcet::CancelClick() {
    ShowPanel(1);
}

void TOtcet::EditorClick() {
    ShowPanel(3);
}

void TOtcet::BackClick() {
    ShowPanel(2);
}

void TOtcet::ApplyFontSize() {
    QFont font = text_->font();
    font.setPointSize(fontSize_->position());
    text_->setFont(font);
}

QStringList TOtcet::reportLines() const {
    // The blocks' own text: the box's plain text would turn no-break spaces into blanks.
    QStringList lines;
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

ReportPrintout TOtcet::printout() const {
    ReportPrintout printout;
    printout.lines = reportLines();
    printout.fontSize = text_->font().pointSize();
    printout.diagrams = boxes_[kDiagramBox - 1]->isChecked();
    printout.plan = setting_.plan;
    return printout;
}

void TOtcet::OutputPrintClick() {
    ApplyFontSize();
    switch (output()) {
        case ReportOutput::Printer:
            PrintToPrinter();
            break;
        case ReportOutput::File:
            SaveAsText();
            break;
        case ReportOutput::Pdf:
            SaveAsPdf();
            break;
    }
}

void TOtcet::PrintToPrinter() {
    QPrinter printer(QPrinter::HighResolution);  // the default printer
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!setting_.interaction->choosePrinter(this, printer)) return;
    printer.setPageOrientation(QPageLayout::Portrait);  // the report is laid out upright
    PagedDeviceSink sink(printer);
    if (const QString error = PrintReport(sink, printout()); !error.isEmpty())
        setting_.showFailure(error + Text(" (принтер \"") + printer.printerName() + Text("\")"));
}

QString TOtcet::ChosenPath(const QString& title, const QString& filter, const QString& suffix) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = title;
    request.filters = {filter};
    request.startFolder = PathToQString(setting_.workFolder);
    request.fileName = ProposedReportName(ToQString(Cp1251ToUtf8(StoredText(setting_.plan.ProjectFileName))));
    request.defaultSuffix = suffix;
    request.confirmOverwrite = true;
    const QStringList chosen = setting_.interaction->chooseFiles(this, request);
    if (chosen.isEmpty() || chosen.first().isEmpty()) return {};
    QString path = chosen.first();
    // Some desktops' own dialogs leave the default extension off.
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + suffix;
    return path;
}

void TOtcet::SaveAsText() {
    const QString path = ChosenPath(Text("Сохранение отчета СОД в виде файла"), QStringLiteral("*.txt"),
                                    QStringLiteral("txt"));
    if (path.isEmpty()) return;
    std::vector<std::string> lines;
    for (const QString& line : reportLines()) lines.push_back(ToUtf8(line));
    if (const Outcome written = WriteReportFile(QStringToPath(path), lines); !written.ok())
        setting_.showFailure(ToQString(written.error));
}

void TOtcet::SaveAsPdf() {
    const QString path = ChosenPath(Text("Сохранение отчета СОД в формате PDF"), QStringLiteral("*.pdf"),
                                    QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    if (const QString error = WritePdfReport(path, printout()); !error.isEmpty()) setting_.showFailure(error);
}

void TOtcet::PreviewClick() {
    ApplyFontSize();
    const ReportPrintout shown = printout();
    QPrinter printer(QPrinter::HighResolution);
    if (output() == ReportOutput::Printer && setting_.interaction->hasPrinters())
        printer.setPageOrientation(QPageLayout::Portrait);
    else
        SetUpPdfPrinter(printer);
    setting_.interaction->showPrintPreview(this, printer, [this, &shown](QPrinter& target) {
        PagedDeviceSink sink(target);
        if (const QString error = PrintReport(sink, shown); !error.isEmpty()) setting_.showFailure(error);
    });
}

}  // namespace kdt::gui
