#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "screens/start/name_lists.h"
#include "screens/start/start_screen.h"
#include "support/app_harness.h"

using quillon::platform::MessageAnswer;
using quillon::platform::MessageStyle;
using namespace quillon::testing;

namespace {

QStringList entries(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

}  // namespace

class NameListsTest : public QObject {
    Q_OBJECT

  private slots:
    void listsLoadItemByItem();
    void editorShowsTheListAndSavingReloadsTheBox_data();
    void editorShowsTheListAndSavingReloadsTheBox();
    void editorTextEndingWithALineBreakEndsTheFileWithAnEmptyLine();
    void aSecondEditButtonSwitchesLists_data();
    void aSecondEditButtonSwitchesLists();
    void aListThatCannotBeSavedKeepsTheEditorText();
    void aListThatCannotBeReadIsNotEdited_data();
    void aListThatCannotBeReadIsNotEdited();
    void closeSaveBeforeAnyEditDoesNothing();
};

void NameListsTest::listsLoadItemByItem() {
    AppHarness h;
    write_bytes(h.path("skiers.txt"),
                "Doe, Jane\r\n\"Smith, John\"\r\n\r\nMüller\r\nИванов, 王芳\r\nGr\xfc\xdf\r\n");
    write_bytes(h.path("boats.txt"), "Malibu\nNautique\rMastercraft");
    h.app.startUp();
    auto& start = h.app.start();
    auto* skiers = control<QComboBox>(start, "cbSkiers");
    // Lists are UTF-8; a byte that is not (Latin-1 "Grüß") shows as a replacement mark.
    QCOMPARE(entries(skiers), QStringList({"Doe", "Jane", "Smith, John", "Müller", "Иванов", "王芳",
                                           QString("Gr\uFFFD\uFFFD")}));
    // Loading the list does not change what the box shows.
    QCOMPARE(skiers->currentText(), QString("Skiers"));
    QCOMPARE(entries(control<QComboBox>(start, "cbBoats")),
             QStringList({"Malibu", "Nautique", "Mastercraft"}));
    QCOMPARE(control<QComboBox>(start, "cbBoats")->currentText(), QString("Boat Manufacturer"));
    QCOMPARE(entries(control<QComboBox>(start, "cbDrivers")), QStringList());
}

void NameListsTest::editorShowsTheListAndSavingReloadsTheBox_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("caption");
    for (const auto& [mode, caption] : {std::pair{"Boats", "Boat Manufacturer"},
                                        {"Models", "Boat Model"},
                                        {"Drivers", "Drivers"},
                                        {"Skiers", "Skiers"}}) {
        QTest::newRow(mode) << mode << caption;
    }
}

void NameListsTest::editorShowsTheListAndSavingReloadsTheBox() {
    QFETCH(QString, mode);
    QFETCH(QString, caption);
    // The controls and the file are named after the list.
    const QString button = "cmd" + mode;
    const QString box = "cb" + mode;
    const QString file = mode.toLower() + ".txt";
    AppHarness h;
    write_bytes(h.path(file), "Alpha, Beta\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    auto* combo = control<QComboBox>(start, qPrintable(box));
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    QVERIFY(!editor->isVisible());

    combo->setEditText("typed before saving");
    click(start, qPrintable(button));
    QCOMPARE(start.editMode(), mode);
    QVERIFY(editor->isVisible() && control(start, "cmdCloseSave")->isVisible());
    QCOMPARE(editor->toPlainText(), QString("Alpha\nBeta\n"));

    editor->setPlainText("Alpha\nBeta\nGamma, Delta   ");
    click(start, "cmdCloseSave");
    QCOMPARE(read_bytes(h.path(file)), QByteArray("Alpha\r\nBeta\r\nGamma, Delta\r\n"));
    QVERIFY(!editor->isVisible() && !control(start, "cmdCloseSave")->isVisible());
    QCOMPARE(combo->currentText(), caption);
    QCOMPARE(entries(combo), QStringList({"Alpha", "Beta", "Gamma", "Delta"}));
    QCOMPARE(start.editMode(), mode);
}

void NameListsTest::editorTextEndingWithALineBreakEndsTheFileWithAnEmptyLine() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    click(start, "cmdDrivers");
    control<QPlainTextEdit>(start, "Text1")->setPlainText("Ann\nBob\n");
    click(start, "cmdCloseSave");
    QCOMPARE(read_bytes(h.path("drivers.txt")), QByteArray("Ann\r\nBob\r\n\r\n"));
    // The empty line gives no empty entry.
    QCOMPARE(entries(control<QComboBox>(start, "cbDrivers")), QStringList({"Ann", "Bob"}));
}

void NameListsTest::aSecondEditButtonSwitchesLists_data() {
    QTest::addColumn<QString>("typed");  // into the Boats editor; empty: nothing typed
    QTest::addColumn<QString>("then");   // "cmdSkiers", "cmdBoats", "mnuExit" or "close"
    QTest::addColumn<int>("answer");     // to the question: 1 Yes, 0 No, -1 none asked
    QTest::newRow("nothing typed") << ""
                                   << "cmdSkiers" << -1;
    QTest::newRow("typed, dropped") << "unsaved"
                                    << "cmdSkiers" << 1;
    QTest::newRow("typed, kept") << "unsaved"
                                 << "cmdSkiers" << 0;
    QTest::newRow("typed, the same list again, kept") << "unsaved"
                                                      << "cmdBoats" << 0;
    QTest::newRow("typed, Exit, kept") << "unsaved"
                                       << "mnuExit" << 0;
    QTest::newRow("typed, Exit, dropped") << "unsaved"
                                          << "mnuExit" << 1;
    QTest::newRow("typed, window closed, kept") << "unsaved"
                                                << "close" << 0;
    QTest::newRow("nothing typed, Exit") << ""
                                         << "mnuExit" << -1;
}

// The editor names the list it holds; text typed and not saved is dropped, by another list or
// by quitting, only when the operator answers Yes.
void NameListsTest::aSecondEditButtonSwitchesLists() {
    QFETCH(QString, typed);
    QFETCH(QString, then);
    QFETCH(int, answer);
    AppHarness h;
    write_bytes(h.path("boats.txt"), "Malibu\r\n");
    write_bytes(h.path("skiers.txt"), "Jane\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    auto* title = control<QLabel>(start, "lblEditList");
    click(start, "cmdBoats");
    QCOMPARE(title->text(),
             QString("Editing the Boat Manufacturers list (boats.txt): one name a line"));
    QVERIFY(title->isVisible());
    if (!typed.isEmpty()) {
        editor->setPlainText(typed);
    }
    if (answer >= 0) {
        h.dialogs.messageAnswers = {answer == 1 ? MessageAnswer::Yes : MessageAnswer::No};
    }
    if (then == "mnuExit") {
        trigger(start, "mnuExit");
    } else if (then == "close") {
        start.close();
    } else {
        click(start, qPrintable(then));
    }

    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), std::size_t(answer >= 0 ? 1 : 0));
    if (answer >= 0) {
        QCOMPARE(messages[0].style, MessageStyle::YesNo);
        QVERIFY2(messages[0].text.startsWith(
                     "The Boat Manufacturers list has changes that are not saved. Drop them and "),
                 qPrintable(messages[0].text));
    }
    const bool leaves = answer != 0;
    if (then == "mnuExit" || then == "close") {
        QCOMPARE(h.quitRequested, leaves);
    } else if (leaves) {
        QCOMPARE(start.editMode(), QString("Skiers"));
        QCOMPARE(editor->toPlainText(), QString("Jane\n"));
        QCOMPARE(title->text(), QString("Editing the Skiers list (skiers.txt): one name a line"));
    }
    if (!leaves) {
        QCOMPARE(start.editMode(), QString("Boats"));
        QCOMPARE(editor->toPlainText(), typed);
        QVERIFY(editor->isVisible());
    }
    QCOMPARE(read_bytes(h.path("boats.txt")), QByteArray("Malibu\r\n"));
    QCOMPARE(read_bytes(h.path("skiers.txt")), QByteArray("Jane\r\n"));
}

void NameListsTest::aListThatCannotBeSavedKeepsTheEditorText() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    click(start, "cmdBoats");
    // A folder where the list file should be: the list can be neither read nor written.
    QVERIFY(QFile::remove(h.path("boats.txt")));
    QVERIFY(QDir(h.folder.path()).mkdir("boats.txt"));
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    editor->setPlainText("Malibu\n");
    click(start, "cmdCloseSave");
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QVERIFY(messages[0].text.contains(h.path("boats.txt")));
    QVERIFY(messages[0].text.contains("could not be saved"));
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->toPlainText(), QString("Malibu\n"));
}

void NameListsTest::aListThatCannotBeReadIsNotEdited_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("huge") << "huge";
    QTest::newRow("folder") << "folder";
}

// The box stays empty and the editor stays closed, so saving cannot overwrite the file.
void NameListsTest::aListThatCannotBeReadIsNotEdited() {
    QFETCH(QString, kind);
    AppHarness h;
    const QString boats = h.path("boats.txt");
    if (kind == "huge") {
        QFile file(boats);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(300LL << 20));  // sparse
    } else {
        QVERIFY(QDir(h.folder.path()).mkdir("boats.txt"));
    }
    write_bytes(h.path("skiers.txt"), "Jane\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    click(start, "cmdSkiers");
    click(start, "cmdBoats");
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(2));
    for (const auto& message : messages) {
        QVERIFY2(message.text.startsWith("The list \"" + boats + "\" could not be read: "),
                 qPrintable(message.text));
    }
    QCOMPARE(entries(control<QComboBox>(start, "cbBoats")), QStringList());
    QCOMPARE(start.editMode(), QString("Skiers"));
    QCOMPARE(control<QPlainTextEdit>(start, "Text1")->toPlainText(), QString("Jane\n"));
    QVERIFY(kind != "huge" || QFileInfo(boats).size() == 300LL << 20);
}

void NameListsTest::closeSaveBeforeAnyEditDoesNothing() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    auto* closeSave = control<QPushButton>(start, "cmdCloseSave");
    QMetaObject::invokeMethod(closeSave, "click");
    QCOMPARE(start.editMode(), QString());
    for (const char* list : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"}) {
        QCOMPARE(read_bytes(h.path(list)), QByteArray());
    }
}

QTEST_MAIN(NameListsTest)
#include "name_lists_test.moc"
