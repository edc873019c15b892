#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "screens/start/name_lists.h"
#include "screens/start/start_screen.h"
#include "support/app_harness.h"

using quillon::testing::AppHarness;

namespace {

void write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    file.write(bytes);
}

QByteArray read_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

template <typename T>
T* control(QWidget& screen, const char* name) {
    T* found = screen.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

}  // namespace

class NameListsTest : public QObject {
    Q_OBJECT

  private slots:
    void listsLoadItemByItem();
    void editorShowsTheListAndSavingReloadsTheBox_data();
    void editorShowsTheListAndSavingReloadsTheBox();
    void editorTextEndingWithALineBreakEndsTheFileWithAnEmptyLine();
    void anEmptyListOpensAnEmptyEditor();
    void aSecondEditButtonSwitchesLists();
    void aListThatCannotBeSavedKeepsTheEditorText();
    void closeSaveBeforeAnyEditDoesNothing();
};

void NameListsTest::listsLoadItemByItem() {
    AppHarness h;
    write_file(h.path("skiers.txt"), "Doe, Jane\r\n\"Smith, John\"\r\n\r\nMüller\r\n");
    write_file(h.path("boats.txt"), "Malibu\nNautique\rMastercraft");
    h.app.startUp();
    auto& start = h.app.start();
    auto* skiers = control<QComboBox>(start, "cbSkiers");
    QCOMPARE(entries(skiers), QStringList({"Doe", "Jane", "Smith, John", "Müller"}));
    // Loading the list does not change what the box shows.
    QCOMPARE(skiers->currentText(), QString("Skiers"));
    QCOMPARE(entries(control<QComboBox>(start, "cbBoats")),
             QStringList({"Malibu", "Nautique", "Mastercraft"}));
    QCOMPARE(control<QComboBox>(start, "cbBoats")->currentText(), QString("Boat Manufacturer"));
    QCOMPARE(entries(control<QComboBox>(start, "cbDrivers")), QStringList());
}

void NameListsTest::editorShowsTheListAndSavingReloadsTheBox_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("boats") << "cmdBoats"
                           << "cbBoats"
                           << "boats.txt"
                           << "Boats"
                           << "Boat Manufacturer";
    QTest::newRow("models") << "cmdModels"
                            << "cbModels"
                            << "models.txt"
                            << "Models"
                            << "Boat Model";
    QTest::newRow("drivers") << "cmdDrivers"
                             << "cbDrivers"
                             << "drivers.txt"
                             << "Drivers"
                             << "Drivers";
    QTest::newRow("skiers") << "cmdSkiers"
                            << "cbSkiers"
                            << "skiers.txt"
                            << "Skiers"
                            << "Skiers";
}

void NameListsTest::editorShowsTheListAndSavingReloadsTheBox() {
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, file);
    QFETCH(QString, mode);
    QFETCH(QString, caption);
    AppHarness h;
    write_file(h.path(file), "Alpha, Beta\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    auto* combo = control<QComboBox>(start, qPrintable(box));
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    auto* closeSave = control<QPushButton>(start, "cmdCloseSave");
    QVERIFY(!editor->isVisible());
    QVERIFY(!closeSave->isVisible());

    combo->setEditText("typed before saving");
    QTest::mouseClick(control<QPushButton>(start, qPrintable(button)), Qt::LeftButton);
    QCOMPARE(start.editMode(), mode);
    QVERIFY(editor->isVisible());
    QVERIFY(closeSave->isVisible());
    QCOMPARE(editor->toPlainText(), QString("Alpha\nBeta\n"));

    editor->setPlainText("Alpha\nBeta\nGamma, Delta   ");
    QTest::mouseClick(closeSave, Qt::LeftButton);
    QCOMPARE(read_file(h.path(file)), QByteArray("Alpha\r\nBeta\r\nGamma, Delta\r\n"));
    QVERIFY(!editor->isVisible());
    QVERIFY(!closeSave->isVisible());
    QCOMPARE(combo->currentText(), caption);
    QCOMPARE(entries(combo), QStringList({"Alpha", "Beta", "Gamma", "Delta"}));
    QCOMPARE(start.editMode(), mode);
}

void NameListsTest::editorTextEndingWithALineBreakEndsTheFileWithAnEmptyLine() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "cmdDrivers"), Qt::LeftButton);
    control<QPlainTextEdit>(start, "Text1")->setPlainText("Ann\nBob\n");
    QTest::mouseClick(control<QPushButton>(start, "cmdCloseSave"), Qt::LeftButton);
    QCOMPARE(read_file(h.path("drivers.txt")), QByteArray("Ann\r\nBob\r\n\r\n"));
    // The empty line gives no empty entry.
    QCOMPARE(entries(control<QComboBox>(start, "cbDrivers")), QStringList({"Ann", "Bob"}));
}

void NameListsTest::anEmptyListOpensAnEmptyEditor() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "cmdModels"), Qt::LeftButton);
    QCOMPARE(control<QPlainTextEdit>(start, "Text1")->toPlainText(), QString());
    QCOMPARE(entries(control<QComboBox>(start, "cbModels")), QStringList());
}

void NameListsTest::aSecondEditButtonSwitchesLists() {
    AppHarness h;
    write_file(h.path("boats.txt"), "Malibu\r\n");
    write_file(h.path("skiers.txt"), "Jane\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    QTest::mouseClick(control<QPushButton>(start, "cmdBoats"), Qt::LeftButton);
    editor->setPlainText("unsaved");
    QTest::mouseClick(control<QPushButton>(start, "cmdSkiers"), Qt::LeftButton);
    QCOMPARE(start.editMode(), QString("Skiers"));
    QCOMPARE(editor->toPlainText(), QString("Jane\n"));
    QTest::mouseClick(control<QPushButton>(start, "cmdCloseSave"), Qt::LeftButton);
    QCOMPARE(read_file(h.path("boats.txt")), QByteArray("Malibu\r\n"));
    QCOMPARE(read_file(h.path("skiers.txt")), QByteArray("Jane\r\n\r\n"));
}

void NameListsTest::aListThatCannotBeSavedKeepsTheEditorText() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "cmdBoats"), Qt::LeftButton);
    // A folder where the list file should be: the list can be neither read nor written.
    QVERIFY(QFile::remove(h.path("boats.txt")));
    QVERIFY(QDir(h.folder.path()).mkdir("boats.txt"));
    auto* editor = control<QPlainTextEdit>(start, "Text1");
    editor->setPlainText("Malibu\n");
    QTest::mouseClick(control<QPushButton>(start, "cmdCloseSave"), Qt::LeftButton);
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QVERIFY(messages[0].text.contains(h.path("boats.txt")));
    QVERIFY(messages[0].text.contains("could not be saved"));
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->toPlainText(), QString("Malibu\n"));
}

void NameListsTest::closeSaveBeforeAnyEditDoesNothing() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    auto* closeSave = control<QPushButton>(start, "cmdCloseSave");
    QMetaObject::invokeMethod(closeSave, "click");
    QCOMPARE(start.editMode(), QString());
    for (const char* list : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"}) {
        QCOMPARE(read_file(h.path(list)), QByteArray());
    }
}

QTEST_MAIN(NameListsTest)
#include "name_lists_test.moc"
