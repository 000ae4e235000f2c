// The report dialog TOtcet: its boxes and buttons, the outputs it drives,
// and how the main window opens it.
#include <QCheckBox>
#include <QFileInfo>
#include <QFontInfo>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "GuiTestKit.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "data/TextEncoding.h"
#include "report/ReportBoxes.h"
#include "report/ReportText.h"
#include "report/Unit4.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace {

constexpr ReportDate kDate{1, 1, 2027};

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path) {
    return static_cast<int>(PdfText(path).count(QLatin1Char('\f')));
}

// The dialog the main window shows modally, closed however the checks on it end.
class ShownDialog {
public:
    ShownDialog() : dialog_(qobject_cast<TOtcet*>(QApplication::activeModalWidget())) {}
    ~ShownDialog() {
        if (dialog_ != nullptr) dialog_->reject();
    }
    ShownDialog(const ShownDialog&) = delete;
    ShownDialog& operator=(const ShownDialog&) = delete;
    TOtcet* operator->() const { return dialog_; }
    TOtcet* get() const { return dialog_; }

private:
    TOtcet* dialog_;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ReportDialogTest : public EditorTestCase {
    Q_OBJECT
private slots:
    void boxesAtOpening_data();
    void boxesAtOpening();
    void printButtonFollowsTheBoxes();
    void printComposesTheTextAnew();
    void outputChoiceWithoutPrinters();
    void editorPanelAndFontSize();
    void savesTheBoxTextInWindows1251();
    void savesAsPdf();
    void printsPortraitOnTheChosenPrinter();
    void previewDrawsTheSamePages();
    void failuresGoToTheExceptionBox_data();
    void failuresGoToTheExceptionBox();
    void theMainWindowOpensANewDialogEachTime();
    void proposedName_data();
    void proposedName();

private:
    std::unique_ptr<TOtcet> Dialog(const TSignalPlan& plan);
    QCheckBox* Box(int n) { return Find<QCheckBox>(dialog_.get(), QStringLiteral("CheckBox%1").arg(n)); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(dialog_.get(), QLatin1String(name)); }
    QPlainTextEdit* Text() { return Find<QPlainTextEdit>(dialog_.get(), QStringLiteral("ReportText")); }
    RadioGroup* Output() { return Find<RadioGroup>(dialog_.get(), QStringLiteral("OutputGroup")); }
    // Ticks exactly these boxes, by clicking.
    void Tick(std::initializer_list<int> numbers);

    ScriptedInteraction script_;
    QStringList failures_;
    std::unique_ptr<TOtcet> dialog_;
};

std::unique_ptr<TOtcet> ReportDialogTest::Dialog(const TSignalPlan& plan) {
    dialog_.reset();
    script_ = ScriptedInteraction();
    failures_.clear();
    TOtcet::Setting setting;
    setting.plan = plan;
    setting.today = kDate;
    setting.workFolder = folder_;
    setting.interaction = &script_;
    setting.showFailure = [this](const QString& message) { failures_ << message; };
    return std::make_unique<TOtcet>(setting);
}

void ReportDialogTest::Tick(std::initializer_list<int> numbers) {
    Button("ClearAllButton")->click();
    for (const int n : numbers) Box(n)->click();
}

// ---------------------------------------------------------------- panel 1

void ReportDialogTest::boxesAtOpening_data() {
    QTest::addColumn<int>("rom");
    QTest::addColumn<int>("network");
    QTest::addColumn<QString>("available");  // box 1 first
    //                                                          1234567890123456
    QTest::newRow("4.1.3, no network") << 3 << 0 << QStringLiteral("1111111111010010");
    QTest::newRow("4.1.0 leading a network") << 0 << 3 << QStringLiteral("1111111111100010");
    QTest::newRow("4.1.2 led in a network") << 2 << 4 << QStringLiteral("1111111111000010");
    QTest::newRow("4.2.0") << 4 << 0 << QStringLiteral("1111111111010010");
    QTest::newRow("4.2.1 leading a network") << 5 << 3 << QStringLiteral("1111111111111110");
}

void ReportDialogTest::boxesAtOpening() {
    QFETCH(int, rom);
    QFETCH(int, network);
    QFETCH(QString, available);
    TSignalPlan plan = NewPlan(static_cast<std::uint8_t>(rom));
    plan.NetworkType = static_cast<std::uint8_t>(network);
    dialog_ = Dialog(plan);
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Отчет"));
    QCOMPARE(dialog_->panel(), 1);
    QString enabled;
    QString ticked;
    for (int n = 1; n <= kReportBoxCount; ++n) {
        enabled += Box(n)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        ticked += Box(n)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    }
    QCOMPARE(enabled, available);
    QCOMPARE(ticked, QStringLiteral("1111111110000000"));
    QVERIFY(Button("SectionsPrintButton")->isEnabled());
}

void ReportDialogTest::printButtonFollowsTheBoxes() {
    dialog_ = Dialog(NewPlan(kRom413));
    QPushButton* print = Button("SectionsPrintButton");
    Button("ClearAllButton")->click();
    QVERIFY(!print->isEnabled());
    for (int n = 1; n <= kReportBoxCount; ++n) QVERIFY(!Box(n)->isChecked());
    Box(12)->click();
    QVERIFY(print->isEnabled());
    Box(12)->click();
    QVERIFY(!print->isEnabled());
    Box(15)->click();
    QVERIFY(print->isEnabled());
    Button("SelectAllButton")->click();
    QVERIFY(print->isEnabled());
    // Every box the plan offers, and none of the others.
    const ReportBoxes offered = AvailableReportBoxes(NewPlan(kRom413));
    for (int n = 1; n <= kReportBoxCount; ++n) QCOMPARE(Box(n)->isChecked(), offered[n - 1]);
}

void ReportDialogTest::printComposesTheTextAnew() {
    const TSignalPlan plan = ExamplePlan();
    dialog_ = Dialog(plan);
    Tick({1, 7});
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->panel(), 2);
    ReportSections sections{};
    sections[0] = sections[6] = true;
    QStringList expected;
    for (const std::string& line : ComposeReport(plan, sections, kDate)) expected << ToQString(line);
    QCOMPARE(dialog_->reportLines(), expected);
    // Edits last until the sections are printed again, which composes anew.
    Text()->appendPlainText(QStringLiteral("правка"));
    QCOMPARE(dialog_->reportLines().size(), expected.size() + 1);
    Button("CancelButton")->click();
    QCOMPARE(dialog_->panel(), 1);
    QVERIFY(Box(1)->isChecked() && Box(7)->isChecked() && !Box(2)->isChecked());
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->reportLines(), expected);
}

void ReportDialogTest::outputChoiceWithoutPrinters() {
    dialog_ = Dialog(ExamplePlan());
    script_.printers = true;
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->output(), ReportOutput::Printer);
    QVERIFY(Output()->item(0)->isEnabled());
    Button("CancelButton")->click();

    script_.printers = false;
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->output(), ReportOutput::File);
    QVERIFY(!Output()->item(0)->isEnabled());
    QVERIFY(Output()->item(1)->isEnabled());
    QVERIFY(Output()->item(2)->isEnabled());
    QCOMPARE(Output()->item(2)->text(), QStringLiteral("PDF"));
}

void ReportDialogTest::editorPanelAndFontSize() {
    dialog_ = Dialog(ExamplePlan());
    Button("SectionsPrintButton")->click();
    Button("EditorButton")->click();
    QCOMPARE(dialog_->panel(), 3);
    QPlainTextEdit* text = Text();
    QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(QFontInfo(text->font()).family(), QStringLiteral("Liberation Mono"));
    QCOMPARE(text->font().pointSize(), 10);

    auto* size = Find<UpDownEdit>(dialog_.get(), QStringLiteral("FontSizeEdit"));
    QCOMPARE(size->text(), QStringLiteral("10"));
    auto* up = Find<QToolButton>(size, QStringLiteral("up"));
    auto* down = Find<QToolButton>(size, QStringLiteral("down"));
    up->click();
    QCOMPARE(text->font().pointSize(), 11);  // at once
    for (int i = 0; i < 30; ++i) up->click();
    QCOMPARE(size->text(), QStringLiteral("24"));
    QCOMPARE(text->font().pointSize(), 24);
    for (int i = 0; i < 30; ++i) down->click();
    QCOMPARE(size->text(), QStringLiteral("6"));
    QCOMPARE(dialog_->printout().fontSize, 6);
    // Typing and deleting do not change it; the Up key steps as the arrow does.
    QTest::keyClicks(size, QStringLiteral("2"));
    QTest::keyClick(size, Qt::Key_Backspace);
    QTest::keyClick(size, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(size->text(), QStringLiteral("6"));
    QTest::keyClick(size, Qt::Key_Up);
    QCOMPARE(size->text(), QStringLiteral("7"));
    QCOMPARE(text->font().pointSize(), 7);

    // A character without a Windows-1251 byte is refused in the text.
    const int beeps = script_.beeps;
    text->setFocus();
    TypeKeys(text, QStringLiteral("ё✓"));
    QCOMPARE(script_.beeps, beeps + 1);
    QVERIFY(text->toPlainText().contains(QStringLiteral("ё")));
    QVERIFY(!text->toPlainText().contains(QStringLiteral("✓")));

    Button("BackButton")->click();
    QCOMPARE(dialog_->panel(), 2);
}

// ---------------------------------------------------------------- outputs

void ReportDialogTest::savesTheBoxTextInWindows1251() {
    TSignalPlan plan = ExamplePlan();
    StoreText(plan.ProjectFileName, "c:\\plans\\x1.kdt");
    dialog_ = Dialog(plan);
    Tick({2});
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->output(), ReportOutput::File);
    // The user's edit, with a no-break space, which the saved text keeps.
    Text()->appendPlainText(QStringLiteral("Проверено:\u00A0Иванов"));

    // Cancelled: nothing written, the dialog stays.
    Button("OutputPrintButton")->click();
    QCOMPARE(static_cast<int>(script_.dialogs.size()), 1);
    const FileDialogRequest& request = script_.dialogs.back();
    QCOMPARE(request.kind, FileDialogRequest::Kind::Save);
    QCOMPARE(request.title, QStringLiteral("Сохранение отчета СОД в виде файла"));
    QCOMPARE(request.filters, QStringList{QStringLiteral("*.txt")});
    QCOMPARE(request.startFolder, ToText(folder_));
    QCOMPARE(request.fileName, QStringLiteral("x1"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));
    QVERIFY(request.confirmOverwrite);  // an existing report is not replaced without a question
    QVERIFY(QDir(ToText(folder_)).entryList(QDir::Files).isEmpty());
    QCOMPARE(dialog_->panel(), 2);

    // A name typed without its extension gets ".txt".
    script_.dialogFiles.push_back({ToText(folder_ / "x1")});
    Button("OutputPrintButton")->click();
    QVERIFY(failures_.isEmpty());
    const QByteArray saved = ReadAll(ToText(folder_ / "x1.txt"));
    std::vector<std::string> lines;
    for (const QString& line : dialog_->reportLines()) lines.push_back(ToUtf8(line));
    QCOMPARE(saved, QByteArray::fromStdString(ReportFileText(lines)));
    QVERIFY(saved.contains("\r\n\xCF\xF0\xEE\xE2\xE5\xF0\xE5\xED\xEE:\xA0\xC8\xE2\xE0\xED\xEE\xE2\r\n"));
    QVERIFY(saved.startsWith(QByteArray(12, ' ') + "\xC8\xEC\xFF"));  // "Имя"
}

void ReportDialogTest::savesAsPdf() {
    dialog_ = Dialog(ExamplePlan());
    Tick({1, kDiagramBox});
    Button("SectionsPrintButton")->click();
    Output()->item(2)->click();
    QCOMPARE(dialog_->output(), ReportOutput::Pdf);
    script_.dialogFiles.push_back({ToText(folder_ / "report")});
    Button("OutputPrintButton")->click();
    QVERIFY2(failures_.isEmpty(), qPrintable(failures_.join(QLatin1Char('\n'))));
    const FileDialogRequest& request = script_.dialogs.back();
    QCOMPARE(request.title, QStringLiteral("Сохранение отчета СОД в формате PDF"));
    QCOMPARE(request.filters, QStringList{QStringLiteral("*.pdf")});
    QVERIFY(request.confirmOverwrite);
    const QString path = ToText(folder_ / "report.pdf");
    QVERIFY(ReadAll(path).startsWith("%PDF"));
    const QString text = PdfText(path);
    QVERIFY(text.contains(QStringLiteral("Тип данных : ПАРАМЕТРЫ")));
    QVERIFY(text.contains(QStringLiteral("Сигнальная программа № (АПП №) 3")));
    QCOMPARE(PdfPages(path), 1);
}

void ReportDialogTest::printsPortraitOnTheChosenPrinter() {
    dialog_ = Dialog(ExamplePlan());
    script_.printers = true;
    Button("SectionsPrintButton")->click();
    QCOMPARE(dialog_->output(), ReportOutput::Printer);

    // Cancelled in the print dialog: nothing printed.
    Button("OutputPrintButton")->click();
    QCOMPARE(script_.printDialogs, 1);
    QVERIFY(failures_.isEmpty());

    const QString path = ToText(folder_ / "printed.pdf");
    QPageLayout::Orientation offered = QPageLayout::Landscape;
    int resolution = 0;
    script_.onChoosePrinter = [&](QPrinter& printer) {
        offered = printer.pageLayout().orientation();
        resolution = printer.resolution();
        // The user turns the page and prints into a file.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    Button("OutputPrintButton")->click();
    QVERIFY2(failures_.isEmpty(), qPrintable(failures_.join(QLatin1Char('\n'))));
    QCOMPARE(offered, QPageLayout::Portrait);
    QVERIFY2(resolution >= 300, qPrintable(QString::number(resolution)));  // not the screen's
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.waitForFinished(60000));
    const QString properties = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(properties);
    QVERIFY2(size.hasMatch(), qPrintable(properties));
    QVERIFY2(size.captured(1).toDouble() < size.captured(2).toDouble(), "printed in landscape");
    QVERIFY(PdfText(path).contains(QStringLiteral("Тип данных : ПАРАМЕТРЫ")));
}

void ReportDialogTest::previewDrawsTheSamePages() {
    dialog_ = Dialog(ExamplePlan());
    Button("SelectAllButton")->click();
    Button("SectionsPrintButton")->click();
    const QString previewed = ToText(folder_ / "previewed.pdf");
    script_.onPreview = [&](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
        // Without a printer the preview shows the PDF output's pages.
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(printer.resolution(), 600);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        printer.setOutputFileName(previewed);
        paint(printer);
    };
    Button("PreviewButton")->click();
    QCOMPARE(script_.previews, 1);
    Output()->item(2)->click();
    script_.dialogFiles.push_back({ToText(folder_ / "saved.pdf")});
    Button("OutputPrintButton")->click();
    QVERIFY2(failures_.isEmpty(), qPrintable(failures_.join(QLatin1Char('\n'))));
    const QString saved = ToText(folder_ / "saved.pdf");
    QCOMPARE(PdfPages(previewed), 7);
    QCOMPARE(PdfText(previewed), PdfText(saved));
}

// ---------------------------------------------------------------- through the main window

void ReportDialogTest::failuresGoToTheExceptionBox_data() {
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file in a missing folder")
        << static_cast<int>(ReportOutput::File) << QStringLiteral("Не удалось");
    QTest::newRow("PDF in a missing folder")
        << static_cast<int>(ReportOutput::Pdf) << QStringLiteral("Не удалось записать файл");
    QTest::newRow("printer that cannot start")
        << static_cast<int>(ReportOutput::Printer) << QStringLiteral("Не удалось начать печать отчета");
}

void ReportDialogTest::failuresGoToTheExceptionBox() {
    QFETCH(int, output);
    QFETCH(QString, reason);
    Editor editor = MakeEditor();
    editor.script->printers = true;
    const QString missing = ToText(folder_ / "missing" / "report");
    editor.script->dialogFiles.push_back({missing});
    editor.script->onChoosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(missing + QStringLiteral(".pdf"));
        return true;
    };
    editor.script->answers.push_back(kIdYes);  // go on working
    bool ran = false;
    QTimer::singleShot(0, [&] {
        const ShownDialog dialog;
        QVERIFY(dialog.get() != nullptr);
        Find<QPushButton>(dialog.get(), QStringLiteral("SectionsPrintButton"))->click();
        Find<RadioGroup>(dialog.get(), QStringLiteral("OutputGroup"))->item(output)->click();
        Find<QPushButton>(dialog.get(), QStringLiteral("OutputPrintButton"))->click();
        ran = true;
    });
    Find<QAction>(editor, QStringLiteral("ReportItem"))->trigger();
    QVERIFY(ran);
    const std::vector<MessageRequest>& boxes = editor.script->messages;
    QCOMPARE(static_cast<int>(boxes.size()), 1);
    QCOMPARE(boxes[0].caption, QStringLiteral("Продолжить работу?"));
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("Обнаружена непредвиденная ошибка\n\r") + reason),
             qPrintable(boxes[0].text));
    QVERIFY(!QFileInfo::exists(missing + QStringLiteral(".txt")));
}

void ReportDialogTest::theMainWindowOpensANewDialogEachTime() {
    Editor editor = MakeEditor();
    QAction* item = Find<QAction>(editor, QStringLiteral("ReportItem"));
    QAction* button = Find<QAction>(editor, QStringLiteral("PrintToolButton"));
    QVERIFY(item->isEnabled());
    QVERIFY(button->isEnabled());
    QCOMPARE(item->text(), QStringLiteral("Отчет..."));

    QList<TOtcet*> seen;
    QList<bool> firstBoxTicked;
    const auto inspect = [&] {
        const ShownDialog dialog;
        QVERIFY(dialog.get() != nullptr);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->parentWidget(), static_cast<QWidget*>(editor.window.get()));
        seen << dialog.get();
        QCheckBox* first = Find<QCheckBox>(dialog.get(), QStringLiteral("CheckBox1"));
        firstBoxTicked << first->isChecked();
        first->click();  // gone with the dialog
    };
    QTimer::singleShot(0, inspect);
    item->trigger();
    QVERIFY(editor->findChildren<TOtcet*>().isEmpty());  // destroyed when closed
    QTimer::singleShot(0, inspect);
    button->trigger();
    QVERIFY(editor->findChildren<TOtcet*>().isEmpty());
    QCOMPARE(seen.size(), 2);
    QCOMPARE(firstBoxTicked, (QList<bool>{true, true}));
}

void ReportDialogTest::proposedName_data() {
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("a Windows path") << QStringLiteral("c:\\plans\\x1.kdt") << QStringLiteral("x1");
    QTest::newRow("a path here") << QStringLiteral("/home/user/kdt_win/project/перекрёсток.kdt2")
                                 << QStringLiteral("перекрёсток");
    QTest::newRow("dots in the name")
        << QStringLiteral("/plans/ул.Ленина.kdt") << QStringLiteral("ул.Ленина");
    QTest::newRow("a new plan") << QString() << QString();
}

void ReportDialogTest::proposedName() {
    QFETCH(QString, project);
    QFETCH(QString, proposed);
    QCOMPARE(ProposedReportName(project), proposed);
}

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::ReportDialogTest)
#include "ReportDialogTest.moc"
