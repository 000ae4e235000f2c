// kdt-print, run as a program: its usage errors, the sections it prints
// and that its pages are the report dialog's.
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "GuiTestKit.h"
#include "components/RadioGroup.h"
#include "report/Unit4.h"

namespace kdt::gui::test {
namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run KdtPrint(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KDT_PRINT_PATH), arguments);
    Run run;
    if (!process.waitForFinished(120000)) return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// pdftotext sets the columns of each page by its longest line; a line's words are the same.
QStringList Words(const QString& text) {
    QStringList pages;
    for (const QString& page : text.split(QLatin1Char('\f'))) pages << page.simplified();
    return pages;
}

QString Example() {
    return ToText(ExamplePath());
}

}  // namespace

class KdtPrintTest : public EditorTestCase {
    Q_OBJECT
private slots:
    void usage_data();
    void usage();
    void sections_data();
    void sections();
    void printsTheDialogsPages();
};

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

void KdtPrintTest::usage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");       // what the one line on stderr says
    const QString out = QStringLiteral("OUT");  // replaced by a path in the scratch folder
    QTest::newRow("nothing") << QStringList() << 2 << QStringLiteral("usage: kdt-print PLAN --pdf FILE");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QString();
    QTest::newRow("no --pdf") << QStringList{Example()} << 2 << QStringLiteral("--pdf");
    QTest::newRow("no plan") << QStringList{QStringLiteral("--pdf"), out} << 2 << QStringLiteral("PLAN");
    QTest::newRow("unknown option") << QStringList{Example(), QStringLiteral("--pdf"), out,
                                                   QStringLiteral("--out"), out}
                                    << 2 << QStringLiteral("--out");
    QTest::newRow("box 16 is no section") << QStringList{Example(), QStringLiteral("--pdf"), out,
                                                         QStringLiteral("--sections"), QStringLiteral("1,16")}
                                          << 2 << QStringLiteral("section number");
    QTest::newRow("box the plan does not offer")
        << QStringList{Example(), QStringLiteral("--pdf"), out, QStringLiteral("--sections"),
                       QStringLiteral("11")}
        << 2 << QStringLiteral("section 11 is not offered for this plan");
    QTest::newRow("bad date") << QStringList{Example(), QStringLiteral("--pdf"), out,
                                             QStringLiteral("--date"), QStringLiteral("2027-01-01")}
                              << 2 << QStringLiteral("--date must be a date D.MM.YYYY");
    QTest::newRow("unreadable plan") << QStringList{QStringLiteral("/nonexistent/plan.kdt"),
                                                    QStringLiteral("--pdf"), out}
                                     << 2 << QStringLiteral("kdt-print: ");
    QTest::newRow("image without its ROM type")
        << QStringList{QStringLiteral(KDT_TEST_DATA_DIR "/none.hex"), QStringLiteral("--pdf"), out} << 2
        << QStringLiteral("--rom");
    // Written as every file of the program: never over an input, never over a read-only file.
    QTest::newRow("output is the plan")
        << QStringList{QStringLiteral("PLANCOPY"), QStringLiteral("--pdf"), QStringLiteral("PLANCOPY")} << 2
        << QStringLiteral("is the input");
    QTest::newRow("read-only output")
        << QStringList{Example(), QStringLiteral("--pdf"), QStringLiteral("LOCKED")} << 2
        << QStringLiteral("только для чтения");
    QTest::newRow("output folder missing")
        << QStringList{Example(), QStringLiteral("--pdf"), QStringLiteral("/nonexistent/report.pdf")} << 2
        << QStringLiteral("/nonexistent/report.pdf");
}

void KdtPrintTest::usage() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString out = ToText(folder_ / "report.pdf");
    arguments.replaceInStrings(QStringLiteral("OUT"), out);
    const QString plan = ToText(folder_ / "plan.kdt");
    QVERIFY(QFile::copy(Example(), plan));
    arguments.replaceInStrings(QStringLiteral("PLANCOPY"), plan);
    const QString locked = ToText(folder_ / "locked.pdf");
    {
        QFile file(locked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier report");
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    arguments.replaceInStrings(QStringLiteral("LOCKED"), locked);
    const QByteArray planBefore = ReadAll(plan);
    const Run run = KdtPrint(arguments);
    QCOMPARE(ReadAll(plan), planBefore);
    QCOMPARE(ReadAll(locked), QByteArray("earlier report"));
    QCOMPARE(run.status, status);
    if (status == 0) {
        QVERIFY(run.out.startsWith(QStringLiteral("usage: kdt-print")));
        QVERIFY(run.err.isEmpty());
        return;
    }
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (!arguments.isEmpty()) {
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);  // one clear line
        QVERIFY2(run.err.startsWith(QStringLiteral("kdt-print: ")), qPrintable(run.err));
    }
    QVERIFY(!QFile::exists(out));
}

void KdtPrintTest::sections_data() {
    QTest::addColumn<bool>("oldRom");  // a new 4.1.0 plan instead of the example
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    const QString diagram = QStringLiteral("Сигнальная программа № (АПП №) 1");
    QTest::newRow("as the dialog opens")
        << false << QStringList{}
        << QStringList{QStringLiteral("Тип данных : ПАРАМЕТРЫ"), QStringLiteral("СУТОЧНЫЙ ГРАФИК Суббота")}
        << QStringList{QStringLiteral("ВКЛЮЧЕНИЕ"), diagram};
    QTest::newRow("diagrams alone") << false
                                    << QStringList{QStringLiteral("--sections"), QStringLiteral("15")}
                                    << QStringList{diagram,
                                                   QStringLiteral("Сигнальная программа № (АПП №) 3"),
                                                   QStringLiteral("Примечание: Все длительности")}
                                    << QStringList{QStringLiteral("ПАРАМЕТРЫ")};
    QTest::newRow("all the example offers")
        << false << QStringList{QStringLiteral("--sections"), QStringLiteral("all")}
        << QStringList{diagram, QStringLiteral("Детекторы транспорта"),
                       QStringLiteral("Дополнительные параметры"), QStringLiteral("УСК"),
                       QStringLiteral("ВКЛЮЧЕНИЕ")}
        << QStringList{QStringLiteral("КООРДИНАТОР")};
    QTest::newRow("all a 4.1.0 plan offers")
        << true << QStringList{QStringLiteral("--sections"), QStringLiteral("all")}
        << QStringList{QStringLiteral("ПАРАМЕТРЫ"), QStringLiteral("ВКЛЮЧЕНИЕ")}
        << QStringList{QStringLiteral("УСК"), QStringLiteral("Детекторы"), QStringLiteral("Дополнительные")};
    QTest::newRow("the printing date")
        << false
        << QStringList{QStringLiteral("--sections"), QStringLiteral("2"), QStringLiteral("--date"),
                       QStringLiteral("8.12.2026")}
        << QStringList{QStringLiteral("Дата распечатки : 8.12.2026 г."), QStringLiteral("ЦВЕТА")}
        << QStringList{QStringLiteral("ПАРАМЕТРЫ")};
}

void KdtPrintTest::sections() {
    QFETCH(bool, oldRom);
    QFETCH(QStringList, options);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QString plan = Example();
    if (oldRom) {
        const std::filesystem::path path = folder_ / "old.kdt";
        WritePlan(path, NewPlan(0));
        plan = ToText(path);
    }
    const QString out = ToText(folder_ / "report.pdf");
    const Run run = KdtPrint(QStringList{plan, QStringLiteral("--pdf"), out} + options);
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QString text = PdfText(out).simplified();
    QVERIFY(!text.isEmpty());
    for (const QString& expected : present)
        QVERIFY2(text.contains(expected.simplified()), qPrintable(expected));
    for (const QString& unexpected : absent) QVERIFY2(!text.contains(unexpected), qPrintable(unexpected));
}

// "all" ticks what "Выделить все" ticks, and the pages are the dialog's PDF output's.
void KdtPrintTest::printsTheDialogsPages() {
    const QString printed = ToText(folder_ / "printed.pdf");
    const Run run = KdtPrint({Example(), QStringLiteral("--pdf"), printed, QStringLiteral("--sections"),
                              QStringLiteral("all"), QStringLiteral("--date"), QStringLiteral("1.01.2027")});
    QCOMPARE(run.status, 0);

    Editor editor = MakeEditor();
    QVERIFY(editor->FileOpen1Accept(ExamplePath()));
    ScriptedInteraction script;
    TOtcet::Setting setting;
    setting.plan = editor->state().plan;
    setting.today = {1, 1, 2027};
    setting.workFolder = folder_;
    setting.interaction = &script;
    QStringList failures;
    setting.showFailure = [&](const QString& message) { failures << message; };
    TOtcet dialog(setting);
    Find<QPushButton>(&dialog, QStringLiteral("SelectAllButton"))->click();
    Find<QPushButton>(&dialog, QStringLiteral("SectionsPrintButton"))->click();
    Find<RadioGroup>(&dialog, QStringLiteral("OutputGroup"))
        ->item(static_cast<int>(ReportOutput::Pdf))
        ->click();
    const QString saved = ToText(folder_ / "saved.pdf");
    script.dialogFiles.push_back({saved});
    Find<QPushButton>(&dialog, QStringLiteral("OutputPrintButton"))->click();
    QVERIFY(failures.isEmpty());

    const QStringList fromTool = Words(PdfText(printed));
    const QStringList fromDialog = Words(PdfText(saved));
    QCOMPARE(fromTool.size(), 8);  // seven pages and what follows the last form feed
    QCOMPARE(fromTool, fromDialog);
}

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::KdtPrintTest)
#include "KdtPrintTest.moc"
