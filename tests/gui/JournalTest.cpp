// The journal on its own: where entries go inside and outside a replay,
// the replay flags however a put-back ends, the fill guard, the entry bytes
// and the descriptions of the menu captions.
#include <stdexcept>

#include "GuiTestKit.h"
#include "binding/Journal.h"

namespace kdt::gui::test {
namespace {

constexpr ControlId kField = 101;
constexpr ControlId kOther = 102;
constexpr ControlId kClearButton = 103;

// A control whose replay does what the test says, so each rule of the
// journal shows on its own.
struct FakeControls {
    Journal journal;
    std::vector<int> shownPages;
    int replays = 0;
    std::function<void(const JournalEntry&)> fieldReplay;

    FakeControls() {
        journal.showPage = [this](int page) { shownPages.push_back(page); };
        journal.Register(kField, {3, ControlClass::LabeledEdit, 1, "Всего фаз ", true,
                                  [this](const JournalEntry& entry, ReplaySide) {
                                      ++replays;
                                      if (fieldReplay) fieldReplay(entry);
                                  }});
        journal.Register(kOther, {5, ControlClass::LabeledEdit, 2, "Всего направлений ", true, {}});
        journal.Register(
            kClearButton,
            {2, ControlClass::Button, 3, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                 ++replays;
                 // a not-redoable kind records as its handler would
                 journal.Record(kClearButton, entry.payload);
             }});
    }
    // A replay that records its counter-entry, as a control's handler does.
    void RecordCounterEntries() {
        fieldReplay = [this](const JournalEntry& entry) {
            journal.Record(kField, "counter of " + entry.payload);
        };
    }
};

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list << QString::fromUtf8(text);
    return list;
}

QStringList Payloads(const std::vector<JournalEntry>& entries) {
    QStringList list;
    for (const JournalEntry& entry : entries) list << QString::fromStdString(entry.payload);
    return list;
}

}  // namespace

class JournalTest final : public QObject {
    Q_OBJECT

private slots:
    void newEditEmptiesRedoButARedoneEditDoesNot() {
        FakeControls controls;
        controls.RecordCounterEntries();
        Journal& journal = controls.journal;
        journal.Record(kField, "1");
        journal.Record(kField, "2");
        QVERIFY(journal.Undo());
        QCOMPARE(Payloads(journal.undoList()), Texts({"1"}));
        QCOMPARE(Payloads(journal.redoList()), Texts({"counter of 2"}));
        QVERIFY(journal.Undo());
        QCOMPARE(Payloads(journal.redoList()), Texts({"counter of 2", "counter of 1"}));
        // A redo records into the undo list and keeps the other redo entry.
        QVERIFY(journal.Redo());
        QCOMPARE(Payloads(journal.undoList()), Texts({"counter of counter of 1"}));
        QCOMPARE(Payloads(journal.redoList()), Texts({"counter of 2"}));
        // A new edit of the user's own empties the redo list.
        journal.Record(kOther, "3");
        QVERIFY(journal.redoList().empty());
        QCOMPARE(controls.shownPages, (std::vector<int>{3, 3, 3}));
    }

    // As written, a replay that records nothing left "replaying undo" set, and
    // the next user edit went to the redo list where it could not be undone.
    void replayThatRecordsNothingLeavesNoFlag() {
        FakeControls controls;
        Journal& journal = controls.journal;
        journal.Record(kField, "1");
        QVERIFY(journal.Undo());
        QVERIFY(!journal.replaying());
        QVERIFY(journal.redoList().empty());
        journal.Record(kOther, "user edit");
        QCOMPARE(Payloads(journal.undoList()), Texts({"user edit"}));
    }

    // As written, a second entry recorded in one put-back went to the undo
    // list and emptied the redo list.
    void replayThatRecordsTwiceKeepsBothOnTheCounterSide() {
        FakeControls controls;
        Journal& journal = controls.journal;
        controls.fieldReplay = [&](const JournalEntry&) {
            journal.Record(kField, "type");
            journal.Record(kOther, "address");
        };
        journal.Record(kOther, "earlier");
        journal.Record(kField, "1");
        QVERIFY(journal.Undo());
        QCOMPARE(Payloads(journal.undoList()), Texts({"earlier"}));
        QCOMPARE(Payloads(journal.redoList()), Texts({"type", "address"}));
        QVERIFY(journal.Redo());  // "address" (kOther) has no replay: nothing recorded
        QVERIFY(journal.Redo());
        QCOMPARE(Payloads(journal.undoList()), Texts({"earlier", "type", "address"}));
        QVERIFY(journal.redoList().empty());
    }

    // A refused keystroke takes its field's last step back for good: the
    // put-back runs through the handler, but its counter-entry is dropped
    // and the redo list stays as it was; recording is ordinary afterwards.
    void takeBackLeavesNoRedoEntry() {
        FakeControls controls;
        controls.RecordCounterEntries();
        Journal& journal = controls.journal;
        journal.Record(kField, "1");
        journal.Record(kField, "2");
        QVERIFY(journal.Undo());
        journal.Record(kOther, "3");  // empties redo, as any edit does
        journal.Record(kField, "4");
        QVERIFY(journal.TakeBack());
        QCOMPARE(controls.replays, 2);
        QCOMPARE(Payloads(journal.undoList()), Texts({"1", "3"}));
        QVERIFY(journal.redoList().empty());
        QCOMPARE(controls.shownPages, (std::vector<int>{3, 3}));
        QVERIFY(!journal.replaying());
        journal.Record(kField, "5");
        QCOMPARE(Payloads(journal.undoList()), Texts({"1", "3", "5"}));
        // Nothing to take back from an empty list, and none inside a replay.
        journal.Clear();
        QVERIFY(!journal.TakeBack());
        journal.Record(kField, "6");
        controls.fieldReplay = [&](const JournalEntry&) { QVERIFY(!journal.TakeBack()); };
        QVERIFY(journal.Undo());
    }

    void notRedoableKindRecordsNothingWhenUndone() {
        FakeControls controls;
        Journal& journal = controls.journal;
        journal.Record(kClearButton, "mask");
        QVERIFY(journal.Undo());
        QCOMPARE(controls.replays, 1);
        QVERIFY(journal.empty());
        QVERIFY(!journal.Redo());
        QVERIFY(!journal.Undo());
    }

    void failedPutBackClearsTheFlagAndStillShowsThePage() {
        FakeControls controls;
        Journal& journal = controls.journal;
        controls.fieldReplay = [](const JournalEntry&) { throw std::runtime_error("put-back failed"); };
        journal.Record(kField, "1");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, journal.Undo());
        QVERIFY(!journal.replaying());
        QVERIFY(journal.empty());  // the entry was taken out before the put-back
        QCOMPARE(controls.shownPages, std::vector<int>{3});
        journal.Record(kOther, "next");
        QCOMPARE(Payloads(journal.undoList()), Texts({"next"}));
    }

    void fillGuardSuppressesRecordingNestedAndAfterExceptions() {
        FakeControls controls;
        Journal& journal = controls.journal;
        {
            const FillGuard outer(journal);
            {
                const FillGuard inner(journal);
                journal.Record(kField, "x");
            }
            journal.Record(kField, "y");
            QVERIFY(journal.recordingSuppressed());
        }
        QVERIFY(!journal.recordingSuppressed());
        try {
            const FillGuard guard(journal);
            throw std::runtime_error("fill stopped early");
        } catch (const std::runtime_error&) {
        }
        journal.Record(kField, "z");
        QCOMPARE(Payloads(journal.undoList()), Texts({"z"}));
    }

    void recordingTellsTheWindow() {
        FakeControls controls;
        int told = 0;
        controls.journal.onRecord = [&] { ++told; };
        controls.journal.Record(kField, "1");
        {
            const FillGuard guard(controls.journal);
            controls.journal.Record(kField, "2");
        }
        QCOMPARE(told, 1);
    }

    void entryBytesAreIdentifierLengthPayload() {
        const JournalEntry entry{0x1234, std::string("c\x05\x02", 3), "memo never written"};
        QCOMPARE(QByteArray::fromStdString(entry.Bytes()), QByteArray("\x34\x12\x03\x00"
                                                                      "c\x05\x02",
                                                                      7));
        QCOMPARE(WordAt(entry.Bytes(), 0), 0x1234u);
        QCOMPARE(DwordAt(DwordText(0x80000001u), 0), 0x80000001u);
        QCOMPARE(ByteAt("", 3), 0u);  // a short entry reads as zeros, never past its end
    }

    void captions() {
        FakeControls controls;
        Journal& journal = controls.journal;
        QCOMPARE(QString::fromStdString(journal.UndoCaption()), QStringLiteral("Отменить"));
        QCOMPARE(QString::fromStdString(journal.RedoCaption()), QStringLiteral("Повторить"));
        journal.Record(kField, "1");
        QCOMPARE(QString::fromStdString(journal.UndoCaption()), QStringLiteral("Отменить : \"Всего фаз \""));
        controls.RecordCounterEntries();
        journal.Undo();
        QCOMPARE(QString::fromStdString(journal.RedoCaption()), QStringLiteral("Повторить : \"Всего фаз \""));
    }

    void descriptions_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("description");
        const auto row = [](const char* name, ControlClass kind, int tag, const char* caption,
                            QByteArray payload, const char* description) {
            QTest::newRow(name) << static_cast<int>(kind) << tag << QString::fromUtf8(caption) << payload
                                << QString::fromUtf8(description);
        };
        row("labelled edit", ControlClass::LabeledEdit, 16, "Длительность состояния ", "5",
            "\"Длительность состояния \"");
        row("masked edit", ControlClass::MaskedEdit, 1, "", "", "время в суточ. графике");
        row("spin edit", ControlClass::SpinEdit, 1, "", "", "Изменение значения");
        row("address", ControlClass::SpinEdit, 2, "", "", "Изменение значения \"адрес в сети\"");
        row("edit 1", ControlClass::Edit, 1, "", "", "РУ-Длительность \"Включения фазы\"");
        row("edit 2", ControlClass::Edit, 2, "", "", "РУ-Длительность \"Завершения фазы\"");
        row("edit 3", ControlClass::Edit, 3, "", "", "РУ-Доп. зелеленый после зеленого");
        row("edit 4", ControlClass::Edit, 4, "", "", "РУ-Доп. зеленый после красного");
        row("edit 5", ControlClass::Edit, 5, "", "", "РУ-Число миганий зеленого");
        row("green street", ControlClass::Edit, 6, "", "", "\"номер фазы\"-\"зеленой улицы\"");
        row("button phase", ControlClass::Edit, 7, "", QByteArray("\x01\x01", 2), "ТВП-№ фазы");
        row("button duration", ControlClass::Edit, 7, "", QByteArray("\x02\x01", 2), "ТВП-длитльность фазы");
        row("button insertion phase", ControlClass::Edit, 7, "", QByteArray("\x03\x01", 2), "ТВП-№ фазы");
        row("delay", ControlClass::Edit, 8, "", "", "координатор-задержка");
        row("tact phase", ControlClass::Edit, 9, "", QByteArray("\x01\x01\x01", 3), "такт прораммы-№ фазы");
        row("tact duration", ControlClass::Edit, 9, "", QByteArray("\x01\x02\x01", 3),
            "такт прораммы-длитльность фазы");
        row("tact inter-tact", ControlClass::Edit, 9, "", QByteArray("\x01\x03\x01", 3),
            "такт прораммы-длительность промтакта");
        row("other edit", ControlClass::Edit, 0, "", "", "Изменение значения");
        row("bit button", ControlClass::BitButton, 0, "", "", "Авто уставки");
        row("clear 1", ControlClass::Button, 1, "", "", "Очистку \"уставки ждите в ТВП\"");
        row("clear 2", ControlClass::Button, 2, "", "", "Очистку \"суточного графика\"");
        row("clear 3", ControlClass::Button, 3, "", "", "Очистку \"цвета/уставки\"");
        row("clear 4", ControlClass::Button, 4, "", "", "Очистку \"направлений в фазе\"");
        row("clear 5", ControlClass::Button, 5, "", "", "Очистку \"структура направления\"");
        row("shape c", ControlClass::Shape, 0, "", "c\x05\x01", "\"цвет\"");
        row("shape f", ControlClass::Shape, 0, "", "f\x02", "\"направления в фазе\"");
        row("shape n", ControlClass::Shape, 0, "", "n\x02\x01", "канал-\"структуры направления\"");
        row("shape t", ControlClass::Shape, 0, "", "t\x01", "канал-\"ждите (ТВП)\"");
        row("shape u 1", ControlClass::Shape, 0, "", QByteArray("u\x01\0\0\0\0", 6), "канал-желтое мигание");
        row("shape u 4", ControlClass::Shape, 0, "", QByteArray("u\x04\0\0\0\0", 6),
            "канал-конфликт красного");
        row("check box", ControlClass::CheckBox, 0, "Длительности РУ соответствуют АПП", "",
            "\"Длительности РУ соответствуют АПП\"");
        row("combo", ControlClass::ComboBox, 0, "", "", "Выбор в списке");
        row("combo 1", ControlClass::ComboBox, 1, "", "", "Выбор в списке \"тип сети\"");
        row("combo 3", ControlClass::ComboBox, 3, "", "", "Выбор в списке \"команда сут. графика\"");
        row("combo 4", ControlClass::ComboBox, 4, "", "", "копирование суточного графика");
        row("combo 5", ControlClass::ComboBox, 5, "", "", "состояние при включении");
        row("radio 4", ControlClass::RadioGroup, 4, "", "", " \"тип ВПУ\"");
        row("radio 5", ControlClass::RadioGroup, 5, "", "", " \"тип ТВП\"");
        row("radio 6", ControlClass::RadioGroup, 6, "", "", " \"тип ПЗУ\"");
    }
    void descriptions() {
        QFETCH(int, kind);
        QFETCH(int, tag);
        QFETCH(QString, caption);
        QFETCH(QByteArray, payload);
        QFETCH(QString, description);
        const ControlInfo info{1, static_cast<ControlClass>(kind), tag, caption.toStdString(), true, {}};
        const JournalEntry entry{1, payload.toStdString(), {}};
        QCOMPARE(QString::fromStdString(DescribeEntry(info, entry)), description);
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::JournalTest)
#include "JournalTest.moc"
