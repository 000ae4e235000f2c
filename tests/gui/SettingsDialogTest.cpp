// The settings dialog and the about box: what each field stores and when,
// the speed's arrows and what a typed speed may be, the browse button, the
// take-over on every way of closing, and the version texts of the about box.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

#include "GuiTestKit.h"
#include "components/PlainLineEdit.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "shell/About.h"
#include "shell/KdtSettings.h"
#include "shell/Unit3.h"

namespace kdt::gui::test {

namespace {

void Store(const QString& key, const QString& value) {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->setValue(key, value);
    store->sync();
}

QString Stored(const QString& key) {
    return OpenSettingsStore()->value(key).toString();
}

TForm3* Open(Editor& editor) {
    Find<QAction>(editor, QStringLiteral("SettingsItem"))->trigger();
    TForm3* dialog = editor->settingsDialog();
    if (dialog == nullptr) qFatal("no settings dialog");
    return dialog;
}

UpDownEdit* Speed(TForm3* dialog) {
    return Find<UpDownEdit>(dialog, QStringLiteral("LabeledEdit6"));
}

}  // namespace

class SettingsDialogTest final : public EditorTestCase {
    Q_OBJECT

private slots:
    void opensOnceWithoutBlockingAndGoesOnClose() {
        Editor editor = MakeEditor();
        TForm3* dialog = Open(editor);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Настройка"));
        QCOMPARE(Open(editor), dialog);  // a second Ctrl+N shows the same dialog
        QPointer<TForm3> watched = dialog;
        dialog->close();
        QTRY_VERIFY(watched.isNull());  // destroyed on close, made anew next time
        QVERIFY(Open(editor) != nullptr);
    }

    void fieldsShowTheSettings() {
        Editor editor = MakeEditor();
        editor->settings().romFolder = QStringLiteral("/srv/Images");
        editor->settings().defaultRom = 3;
        editor->settings().defaultSpeedText = QStringLiteral("45");
        editor->settings().showErrors = 1;
        editor->settings().fileType = 1;
        TForm3* dialog = Open(editor);
        QCOMPARE(dialog->pathField(2)->text(), QStringLiteral("/srv/Images"));
        QCOMPARE(Find<QComboBox>(dialog, QStringLiteral("TypePZU"))->currentText(), QStringLiteral("4.1.3"));
        QCOMPARE(Speed(dialog)->text(), QStringLiteral("45"));
        QVERIFY(Find<QCheckBox>(dialog, QStringLiteral("AnalizKdt"))->isChecked());
        QCOMPARE(Find<RadioGroup>(dialog, QStringLiteral("TypeFile"))->itemIndex(), 1);
    }

    // Paths keep their case where the file system tells cases apart; the
    // programmer's flags too (its -P is not its -p).
    void typedTextsAreStoredAtOnce() {
        Editor editor = MakeEditor();
        TForm3* dialog = Open(editor);
        TypeInto(dialog->pathField(1), QStringLiteral("/home/Ivan/Projects"));
        TypeInto(dialog->pathField(5), QStringLiteral("-P %N -v %V"));
        QCOMPARE(editor->settings().projectFolder, StoredPathText(QStringLiteral("/home/Ivan/Projects")));
        QCOMPARE(editor->settings().programmerParameters, StoredPathText(QStringLiteral("-P %N -v %V")));
#if !defined(Q_OS_WIN)
        QCOMPARE(editor->settings().projectFolder, QStringLiteral("/home/Ivan/Projects"));
#endif
        QCOMPARE(StoredPathText(QStringLiteral("c:\\kdt_win")),
#if defined(Q_OS_WIN)
                 QStringLiteral("C:\\KDT_WIN"));
#else
                 QStringLiteral("c:\\kdt_win"));
#endif
    }

    void fileTypeAndRomTypeAreStoredAtOnceTheSpeedOnClose() {
        Store(QStringLiteral("PARAMS/DefScor"), QStringLiteral("60"));
        Editor editor = MakeEditor();
        editor->show();
        TForm3* dialog = Open(editor);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        ClickButton(Find<RadioGroup>(dialog, QStringLiteral("TypeFile"))->item(1));
        auto* rom = Find<QComboBox>(dialog, QStringLiteral("TypePZU"));
        rom->setFocus();
        QTest::keyClick(rom, Qt::Key_Up);  // 4.2.1 → 4.2.0
        TypeInto(Speed(dialog), QStringLiteral("90"));
        QCOMPARE(editor->settings().fileTypeText, QStringLiteral("1"));
        QCOMPARE(editor->settings().fileType, 1);
        QCOMPARE(editor->settings().defaultRomText, QStringLiteral("4"));  // the index, not the caption
        QCOMPARE(editor->settings().defaultSpeedText, QStringLiteral("60"));
        // The main window closes with the dialog still open: the settings go to the store as they stand.
        editor->close();
        QCOMPARE(Stored(QStringLiteral("PARAMS/Compil")), QStringLiteral("1"));
        QCOMPARE(Stored(QStringLiteral("PARAMS/DefPZU")), QStringLiteral("4"));
        QCOMPARE(Stored(QStringLiteral("PARAMS/DefScor")), QStringLiteral("60"));
    }

    void speedArrowsStepByFive() {
        Editor editor = MakeEditor();
        TForm3* dialog = Open(editor);
        UpDownEdit* speed = Speed(dialog);
        QCOMPARE(speed->text(), QStringLiteral("60"));
        QStringList seen;
        for (int i = 0; i < 14; ++i) {
            QTest::keyClick(speed, Qt::Key_Up);
            seen << speed->text();
        }
        QCOMPARE(seen.first(), QStringLiteral("65"));
        QCOMPARE(seen.at(11), QStringLiteral("120"));
        QCOMPARE(seen.last(), QStringLiteral("120"));
        for (int i = 0; i < 30; ++i) QTest::keyClick(speed, Qt::Key_Down);
        QCOMPARE(speed->text(), QStringLiteral("5"));
    }

    // As written a typed text was stored as it stood: an empty or foreign one
    // stopped the next start's conversion, and 300 became 44 km/h.
    void typedSpeedIsAWholeNumberAPlanCanHold_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("within the arrows") << QStringLiteral("90") << 90;
        QTest::newRow("below the arrows, a speed a plan can hold") << QStringLiteral("3") << 3;
        QTest::newRow("above the arrows, a speed a plan can hold") << QStringLiteral("200") << 200;
        QTest::newRow("above what a plan can hold: the arrows' value") << QStringLiteral("300") << 120;
        QTest::newRow("nothing: the arrows' value") << QString() << 60;
    }
    void typedSpeedIsAWholeNumberAPlanCanHold() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        Editor editor = MakeEditor();
        TForm3* dialog = Open(editor);
        Speed(dialog)->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(Speed(dialog), Qt::Key_Backspace);
        else
            TypeInto(Speed(dialog), typed);
        dialog->close();
        QCOMPARE(editor->settings().defaultSpeedText, QString::number(stored));
        QCOMPARE(editor->settings().defaultSpeed, stored);
        QCOMPARE(ParseDecimal(editor->settings().defaultSpeedText), std::optional<int>(stored));
    }

    // Escape and the close button take the values over as closing does.
    void everyWayOfClosingTakesTheValuesOver_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }
    void everyWayOfClosingTakesTheValuesOver() {
        QFETCH(bool, escape);
        Editor editor = MakeEditor();
        editor->show();
        TForm3* dialog = Open(editor);
        Find<QCheckBox>(dialog, QStringLiteral("AnalizKdt"))->setChecked(true);
        TypeInto(Speed(dialog), QStringLiteral("75"));
        if (escape)
            QTest::keyClick(Speed(dialog), Qt::Key_Escape);
        else
            dialog->close();
        QCOMPARE(editor->settings().showErrors, 1);
        QCOMPARE(editor->settings().showErrorsText, QStringLiteral("1"));
        QCOMPARE(editor->settings().defaultSpeed, 75);
    }

    void enterInAFieldClosesNothing() {
        Editor editor = MakeEditor();
        TForm3* dialog = Open(editor);
        QTest::keyClick(dialog->pathField(1), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
    }

    void browseButtonServesTheFolderFields() {
        Editor editor = MakeEditor();
        editor->show();
        TForm3* dialog = Open(editor);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto* browse = Find<QToolButton>(dialog, QStringLiteral("BrowseButton"));
        auto* status = Find<QStatusBar>(dialog, QStringLiteral("StatusBar1"));

        dialog->pathField(2)->setFocus();
        QVERIFY(browse->isVisible());
        QCOMPARE(browse->geometry().right(), dialog->pathField(2)->geometry().right());
        QCOMPARE(status->currentMessage(),
                 QStringLiteral("Папка с файлами для программатора (*.HEX или *.BIN)"));
        const QString chosen = ToText(folder_);
        editor.script->dialogFiles = {{chosen}};
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(editor.script->dialogs.back().kind, FileDialogRequest::Kind::Folder);
        QCOMPARE(dialog->pathField(2)->text(), StoredPathText(QDir::toNativeSeparators(chosen)));
        QCOMPARE(editor->settings().romFolder, dialog->pathField(2)->text());

        dialog->pathField(3)->setFocus();  // the programmer: a file, not a folder
        editor.script->dialogFiles = {{}};
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(editor.script->dialogs.back().kind, FileDialogRequest::Kind::Open);

        dialog->pathField(5)->setFocus();  // the parameters are no path
        QVERIFY(!browse->isVisible());
        QCOMPARE(status->currentMessage(), QStringLiteral("Параметры запуска программатора"));
    }

    void storedRomTypeOutsideTheSixIsTheNewest() {
        Store(QStringLiteral("PARAMS/DefPZU"), QStringLiteral("9"));
        Editor editor = MakeEditor();
        QCOMPARE(editor->settings().defaultRom, 5);
        QCOMPARE(editor->state().plan.RomVersion, kRom421);
    }

    void aboutBoxShowsTheVersionTexts() {
        Editor editor = MakeEditor();
        Find<QAction>(editor, QStringLiteral("AboutItem"))->trigger();
        TAboutBox* box = editor->aboutBox();
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->windowTitle(), QStringLiteral("   О программе"));
        QCOMPARE(box->label("ProductName")->text(), QStringLiteral("Zudedezoded ivov"));
        QCOMPARE(box->label("ProductVersion")->text(),
                 QStringLiteral("Product Version: ") + CompiledVersionTexts().productVersion);
        QVERIFY(!CompiledVersionTexts().productVersion.isEmpty());
        QTest::mouseClick(Find<QPushButton>(box, QStringLiteral("OKButton")), Qt::LeftButton);
        QVERIFY(!box->isVisible());
        Find<QAction>(editor, QStringLiteral("AboutItem"))->trigger();
        QCOMPARE(editor->aboutBox(), box);  // the same box every time
        QVERIFY(box->isVisible());
    }

    void aboutBoxKeepsALabelWithoutAValue() {
        TAboutBox box;
        const QString company = box.label("CompanyName")->text();
        const QString comments = box.label("Comments")->text();
        box.ShowVersion({QString(), QStringLiteral("Product"), QStringLiteral("2.0"), QString(),
                         QStringLiteral("(c)"), QString()});
        QCOMPARE(box.label("CompanyName")->text(), company);
        QCOMPARE(box.label("ProductName")->text(), QStringLiteral("Product"));
        QCOMPARE(box.label("ProductVersion")->text(), QStringLiteral("Product Version: 2.0"));
        QCOMPARE(box.label("LegalCopyright")->text(), QStringLiteral("(c)"));
        QCOMPARE(box.label("Comments")->text(), comments);
        box.ShowVersion({});  // no values at all: the title, nothing else changes
        QCOMPARE(box.label("ProductName")->text(), QStringLiteral("Zudedezoded ivov"));
        QCOMPARE(box.label("ProductVersion")->text(), QStringLiteral("Product Version: 2.0"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SettingsDialogTest)
#include "SettingsDialogTest.moc"
