// The additional parameters and memo page driven through its widgets: the
// address and the 28 memo lines stored as Windows-1251 bytes, trimmed of
// bytes up to 0x20 and cut by bytes, never by characters; loading never
// writes the record; and edits that keep no journal entry still asked about
// before they are lost.
#include <QAccessible>

#include "GuiTestKit.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "data/TextEncoding.h"
#include "pages/MemoPage.h"

namespace kdt::gui::test {

namespace {

MemoPage* Page11(const Editor& editor) {
    return Find<MemoPage>(editor, QStringLiteral("Page11"));
}
QLineEdit* Address(const Editor& editor) {
    return Find<QLineEdit>(editor, QStringLiteral("IP_DNS_Port"));
}
GridTable* MemoGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid14"));
}
CellEditor* MemoField(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("StringGrid14Editor"));
}

// Bytes first..last of the extra lines, as one string.
QByteArray ExtraBytes(const TSignalPlan& plan, int first, int count) {
    return QByteArray(&plan.ExtraLines[0][0] + first, count);
}

void StoreBytes(TSignalPlan& plan, int at, const QByteArray& bytes) {
    for (int i = 0; i < bytes.size(); ++i) (&plan.ExtraLines[0][0])[at + i] = bytes[i];
}

QByteArray Cp1251(const QString& text) {
    return QByteArray::fromStdString(Utf8ToCp1251(text.toStdString()));
}

// Some bytes in the address lines after where a typed address ends, to see they stay.
const QByteArray kOldAddress = QByteArrayLiteral("\"old.example.org\",4001");

}  // namespace

class MemoPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example (memo fields 1 and 2 filled) changed by
    // setup, opened from a file, page 11 in front.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        StoreBytes(plan, 0, kOldAddress);
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(11);
        return editor;
    }

private slots:
    // Typed over the address: the bytes from 0, one zero byte, and the old
    // bytes after it kept.
    void address_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("stored");  // up to and with its zero byte
        QTest::addColumn<int>("beeps");
        QTest::newRow("address and port") << "\"10.0.0.1\",502" << QByteArray("\"10.0.0.1\",502\0", 15) << 0;
        QTest::newRow("blanks at both ends are trimmed") << "  a b  " << QByteArray("a b\0", 4) << 0;
        QTest::newRow("Cyrillic letters are one byte each")
            << "\"Москва\",80" << Cp1251(QStringLiteral("\"Москва\",80")) + QByteArray(1, '\0') << 0;
        // A no-break space is no blank of the record (byte 0xA0): it stays,
        // where trimming the text would have dropped it.
        QTest::newRow("a no-break space stays") << QStringLiteral("x\u00A0") << QByteArray("x\xA0\0", 3) << 0;
        QTest::newRow("a character outside Windows-1251 is refused")
            << QStringLiteral("ab\u4E2D") << QByteArray("ab\0", 3) << 1;
    }
    void address() {
        QFETCH(QString, keys);
        QFETCH(QByteArray, stored);
        QFETCH(int, beeps);
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeInto(Address(editor), keys);
        const TSignalPlan& plan = editor->state().plan;
        QCOMPARE(ExtraBytes(plan, 0, static_cast<int>(stored.size())), stored);
        const int rest = static_cast<int>(stored.size());
        QCOMPARE(ExtraBytes(plan, rest, 64 - rest), ExtraBytes(before, rest, 64 - rest));
        QCOMPARE(ExtraBytes(plan, 64, 512 - 64), ExtraBytes(before, 64, 512 - 64));
        QCOMPARE(editor.script->beeps, beeps);
        QVERIFY(editor->state().journal.empty());
    }

    // Clearing the field writes a zero at byte 0 and leaves the rest as it was.
    void clearingTheAddress() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        Address(editor)->setFocus();
        Address(editor)->selectAll();
        QTest::keyClick(Address(editor), Qt::Key_Backspace);
        QCOMPARE(editor->state().plan.ExtraLines[0][0], '\0');
        QCOMPARE(ExtraBytes(editor->state().plan, 1, 511), ExtraBytes(before, 1, 511));
    }

    // 63 characters are the most; the 64th is refused with a beep.
    void addressOf63Characters() {
        Editor editor = OpenedOn();
        const QString longest(63, QLatin1Char('7'));
        TypeInto(Address(editor), longest + QStringLiteral("8"));
        QCOMPARE(Address(editor)->text(), longest);
        QCOMPARE(ExtraBytes(editor->state().plan, 0, 64), longest.toLatin1() + QByteArray(1, '\0'));
        QCOMPARE(editor.script->beeps, 1);
    }

    // Loading shows the record and writes nothing: an address with no zero
    // byte in its 64 bytes is read as 63 (as written it ran on into the memo
    // lines and was written back there), and a stored address with blanks
    // around it is not trimmed by opening the page.
    void loadingNeverWrites_data() {
        QTest::addColumn<QByteArray>("address");  // bytes 0..63
        QTest::addColumn<QString>("shown");
        QTest::newRow("no zero byte") << QByteArray(64, 'A') << QString(63, QLatin1Char('A'));
        QTest::newRow("blanks around")
            << QByteArray("  x  \0", 6) + QByteArray(58, 'z') << QStringLiteral("  x  ");
    }
    void loadingNeverWrites() {
        QFETCH(QByteArray, address);
        QFETCH(QString, shown);
        Editor editor = OpenedOn([&](TSignalPlan& p) { StoreBytes(p, 0, address); });
        QCOMPARE(Address(editor)->text(), shown);
        QCOMPARE(MemoGrid(editor)->cellText(1, 1), QStringLiteral("Перекрёсток 4"));
        editor->ShowPage(1);
        editor->ShowPage(11);
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        QCOMPARE(ExtraBytes(editor->state().plan, 0, 64), address);
    }

    // Typed into memo field 3 (line 6): the line's 16 bytes.
    void memoLines_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shownAgain");  // once the page is shown anew
        QTest::newRow("three letters between blanks")
            << " abc " << QByteArray("abc").leftJustified(16, '\0') << "abc";
        // No terminator after 16 bytes; shown again, the field ends there.
        QTest::newRow("20 characters keep the first 16")
            << "abcdefghijklmnopqrst" << QByteArray("abcdefghijklmnop") << "abcdefghijklmnop";
        QTest::newRow("18 Cyrillic letters keep 16 bytes")
            << "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ" << Cp1251(QString(16, QChar(0x0416))) << QString(16, QChar(0x0416));
        QTest::newRow("empty clears the line") << "" << QByteArray(16, '\0') << "";
        QTest::newRow("a character outside Windows-1251 is refused")
            << QStringLiteral("ab\u4E2D") << QByteArray("ab").leftJustified(16, '\0') << "ab";
    }
    void memoLines() {
        QFETCH(QString, keys);
        QFETCH(QByteArray, stored);
        QFETCH(QString, shownAgain);
        Editor editor = OpenedOn([](TSignalPlan& p) {
            StoreBytes(p, 16 * 6, QByteArray(16, 'q'));
            StoreBytes(p, 16 * 7, QByteArrayLiteral("next line"));
        });
        const TSignalPlan before = editor->state().plan;
        ClickCell(MemoGrid(editor), 3, 1);
        QCOMPARE(MemoField(editor)->text(), QString(16, QLatin1Char('q')));
        TypeInto(MemoField(editor), keys);
        if (keys.isEmpty()) {
            MemoField(editor)->selectAll();
            QTest::keyClick(MemoField(editor), Qt::Key_Backspace);
        }
        const TSignalPlan& plan = editor->state().plan;
        QCOMPARE(ExtraBytes(plan, 16 * 6, 16), stored);
        QCOMPARE(ExtraBytes(plan, 0, 16 * 6), ExtraBytes(before, 0, 16 * 6));
        QCOMPARE(ExtraBytes(plan, 16 * 7, 512 - 16 * 7), ExtraBytes(before, 16 * 7, 512 - 16 * 7));
        QVERIFY(editor->state().journal.empty());
        editor->ShowPage(1);
        editor->ShowPage(11);
        QCOMPARE(MemoGrid(editor)->cellText(3, 1), shownAgain);
        QCOMPARE(MemoGrid(editor)->cellText(4, 1), QStringLiteral("next line"));
    }

    // The memo fields are numbered 1..28 for lines 4..31; the last one is line 31.
    void lastMemoField() {
        Editor editor = OpenedOn();
        QCOMPARE(MemoGrid(editor)->dataRowCount(), 28);
        QCOMPARE(MemoGrid(editor)->cellText(28, 0), QStringLiteral(" 28"));
        ClickCell(MemoGrid(editor), 28, 1);
        TypeInto(MemoField(editor), QStringLiteral("end"));
        QCOMPARE(ExtraBytes(editor->state().plan, 16 * 31, 16), QByteArray("end").leftJustified(16, '\0'));
        QCOMPARE(Page11(editor)->currentField(), 28);
    }

    // Changes here keep no journal entries, but a new plan so edited is
    // unsaved work: replacing it asks first.
    void leaveCheckAsksAfterAnEdit_data() {
        QTest::addColumn<bool>("memo");
        QTest::newRow("address") << false;
        QTest::newRow("memo line") << true;
    }
    void leaveCheckAsksAfterAnEdit() {
        QFETCH(bool, memo);
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.window.get()));
        editor->ShowPage(11);
        TypeInto(memo ? static_cast<QLineEdit*>(MemoField(editor)) : Address(editor), QStringLiteral("x"));
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::UnsavedWork);
        editor.script->answers = {kIdNo};
        QVERIFY(editor->LeaveCheck());
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
    }

    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        ClickCell(MemoGrid(editor), 5, 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(MemoField(editor))->text(QAccessible::Name),
                 QStringLiteral("поля для редактирования 5"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Address(editor))->text(QAccessible::Name),
                 QStringLiteral("IP адрес или DNS + TCP порт"));
        QCOMPARE(Address(editor)->statusTip(),
                 QStringLiteral("Двойные ковычки и запятая обязательны (максимум 63 символа)"));
        QCOMPARE(MemoGrid(editor)->statusTip(),
                 QStringLiteral("Мемо поля для редактирования (не более 16 символов в поле)"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::MemoPageTest)
#include "MemoPageTest.moc"
