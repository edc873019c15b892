#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <cerrno>
#include <functional>
#include <system_error>

#include "screens/manual/manual_screen.h"
#include "screens/measure/measure_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "support/app_harness.h"

using quillon::platform::MessageAnswer;
using quillon::platform::MessageStyle;
using namespace quillon::testing;

class StartScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunShowsAndStoresDefault();
    void theDefaultFolderIsMadeWhenMissing_data();
    void theDefaultFolderIsMadeWhenMissing();
    void storedFolderIsShownAndEveryChangeIsSaved_data();
    void storedFolderIsShownAndEveryChangeIsSaved();
    void startUpResetsTheSessionAndCreatesTheLists();
    void oneTrailingSeparatorIsRemovedBeforeTheProbe_data();
    void oneTrailingSeparatorIsRemovedBeforeTheProbe();
    void unwritableFolderKeepsTheStartScreen_data();
    void unwritableFolderKeepsTheStartScreen();
    void measureNeedsAValidSetup();
    void jumpForcesTowardsAndHidesAway();
    void typedNamesGoIntoThePassDescription();
    void manualOpensAndReturns();
    void exitAndClosingEndTheProgram_data();
    void exitAndClosingEndTheProgram();
    void setupExitAsksWhenTheSetupIsNotComplete();
    void theWindowKeepsItsSizeAcrossDisciplinesAndTheEditor();
};

void StartScreenTest::firstRunShowsAndStoresDefault() {
    AppHarness h;
    h.app.startUp();
    QCOMPARE(control<QLineEdit>(h.app.start(), "txtResults")->text(), QString("Default"));
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("Default"));
}

void StartScreenTest::theDefaultFolderIsMadeWhenMissing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("stored");    // the results folder in the settings; "-" for none
    QTest::addColumn<QString>("standing");  // what is at Default before: "", "folder", "file"
    QTest::addColumn<int>("error");         // 0: the probe passes
    QTest::newRow("first start, Go To Setup") << "btnSetup"
                                              << "-"
                                              << "" << 0;
    QTest::newRow("first start, Measure") << "Command1"
                                          << "-"
                                          << "" << 0;
    QTest::newRow("Default with a separator") << "btnSetup"
                                              << "Default/"
                                              << "" << 0;
    QTest::newRow("Default already there") << "btnSetup"
                                           << "Default"
                                           << "folder" << 0;
    QTest::newRow("Default is a file") << "btnSetup"
                                       << "Default"
                                       << "file" << ENOTDIR;
    QTest::newRow("another missing folder") << "btnSetup"
                                            << "Results"
                                            << "" << ENOENT;
    QTest::newRow("a Default elsewhere") << "btnSetup"
                                         << "elsewhere/Default"
                                         << "" << ENOENT;
    QTest::newRow("default in small letters") << "Command1"
                                              << "default"
                                              << "" << ENOENT;
}

// A new user presses "Go To Setup" first: the default results folder is made for them in the
// program's folder. Any other missing folder is the operator's to make.
void StartScreenTest::theDefaultFolderIsMadeWhenMissing() {
    QFETCH(QString, button);
    QFETCH(QString, stored);
    QFETCH(QString, standing);
    QFETCH(int, error);
    AppHarness h;
    if (stored != "-") {
        h.settings.values["Quillon/Settings/resultspath"] = stored;
    }
    if (standing == "folder") {
        QVERIFY(QDir(h.folder.path()).mkpath("Default"));
        write_bytes(h.path("Default/ResultLog1206.txt"), "kept");
    } else if (standing == "file") {
        write_bytes(h.path("Default"), "kept");
    }
    const QStringList foldersBefore =
        QDir(h.folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    h.app.startUp();
    auto& start = h.app.start();
    click(start, qPrintable(button));
    const QStringList folders = QDir(h.folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const auto messages = h.dialogs.messages();
    if (error != 0) {
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].text,
                 QString::fromStdString(std::generic_category().message(error)) +
                     "\n\n\"test.txt\" could not be written in the results folder \"" +
                     control<QLineEdit>(start, "txtResults")->text() + "\".");
        QVERIFY(start.isVisible());
        QCOMPARE(folders, foldersBefore);
        if (standing == "file") {
            QCOMPARE(read_bytes(h.path("Default")), QByteArray("kept"));
        }
        return;
    }
    QCOMPARE(folders, QStringList({"Default"}));
    QVERIFY(QFile::exists(h.path("Default/test.txt")));
    if (standing == "folder") {
        QCOMPARE(read_bytes(h.path("Default/ResultLog1206.txt")), QByteArray("kept"));
    }
    if (button == "btnSetup") {
        QVERIFY(messages.empty());
        QVERIFY(h.app.setup().isVisible());
        QVERIFY(!start.isVisible());
    } else {
        // The folder passed; the Measure screen still wants a valid setup.
        QCOMPARE(messages.size(), size_t(1));
        QVERIFY(messages[0].text.startsWith("The setup must be OK to proceed."));
    }
}

void StartScreenTest::storedFolderIsShownAndEveryChangeIsSaved_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("programFolder");
    QTest::newRow("empty text: the program folder") << QString("") << true;
    QTest::newRow("a folder") << QString("/srv/results") << false;
}

void StartScreenTest::storedFolderIsShownAndEveryChangeIsSaved() {
    QFETCH(QString, stored);
    QFETCH(bool, programFolder);
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = stored;
    h.app.startUp();
    const QString shown = programFolder ? h.folder.path() : stored;
    auto* results = control<QLineEdit>(h.app.start(), "txtResults");
    QCOMPARE(results->text(), shown);
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>(shown));
    results->clear();
    QTest::keyClicks(results, "/tm");
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("/tm"));
    QTest::keyClicks(results, "p");
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("/tmp"));
}

void StartScreenTest::startUpResetsTheSessionAndCreatesTheLists() {
    AppHarness h;
    h.session.directionSign = 1.0;
    h.session.passMeasured = 3;
    h.session.keepStartFocus = true;
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(QString::fromStdString(h.session.appFolder), h.folder.path());
    QVERIFY(std::stoi(h.session.screenWidthPx) > 0);
    QCOMPARE(h.session.directionSign, -1.0);
    QCOMPARE(h.session.passMeasured, 0);
    QVERIFY(!h.session.keepStartFocus);
    QCOMPARE(QDir::currentPath(), h.folder.path());
    for (const char* list : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"}) {
        QVERIFY2(QFile::exists(h.path(list)), list);
    }
    QVERIFY(!h.app.measure().isVisible());
    for (const char* option : {"opt36", "optj35", "Option6", "optTowards"}) {
        QVERIFY2(control<QRadioButton>(start, option)->isChecked(), option);
    }
    QVERIFY(!control(start, "Frame7")->isVisible());
}

void StartScreenTest::oneTrailingSeparatorIsRemovedBeforeTheProbe_data() {
    QTest::addColumn<QString>("separator");
    QTest::newRow("backslash") << QString("\\");
    QTest::newRow("slash") << QString("/");
}

void StartScreenTest::oneTrailingSeparatorIsRemovedBeforeTheProbe() {
    QFETCH(QString, separator);
    AppHarness h;
    QVERIFY(QDir(h.folder.path()).mkdir("results"));
    const QString folder = h.path("results");
    h.settings.values["Quillon/Settings/resultspath"] = folder + separator;
    h.app.startUp();
    click(h.app.start(), "btnSetup");
    QCOMPARE(control<QLineEdit>(h.app.start(), "txtResults")->text(), folder);
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>(folder));
    QVERIFY(QFile::exists(folder + "/test.txt"));
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(h.app.setup().isVisible());
}

// Root writes through permission bits, so an unusable folder is made of what the folder or
// the probe file is: missing, a regular file, a folder, or the full-disk device.
void StartScreenTest::unwritableFolderKeepsTheStartScreen_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("folder");   // the results folder, below the program's folder
    QTest::addColumn<QString>("blocker");  // what stands where the folder or probe would be
    QTest::addColumn<int>("error");        // 0: the probe passes
    QTest::newRow("Go To Setup, folder missing") << "btnSetup"
                                                 << "missing/deeper"
                                                 << "" << ENOENT;
    QTest::newRow("Measure, folder missing") << "Command1"
                                             << "missing/deeper"
                                             << "" << ENOENT;
    QTest::newRow("folder is a file") << "btnSetup"
                                      << "results"
                                      << "file" << ENOTDIR;
    QTest::newRow("test.txt is a folder") << "btnSetup"
                                          << "results"
                                          << "folder" << EISDIR;
    // An empty probe writes nothing, so a full disk passes it; the logs report it later.
    QTest::newRow("test.txt on a full disk") << "btnSetup"
                                             << "results"
                                             << "full" << 0;
}

void StartScreenTest::unwritableFolderKeepsTheStartScreen() {
    QFETCH(QString, button);
    QFETCH(QString, folder);
    QFETCH(QString, blocker);
    QFETCH(int, error);
    AppHarness h;
    const QString results = h.path(folder);
    if (blocker == "file") {
        write_bytes(results, "kept");
    } else if (!blocker.isEmpty()) {
        QVERIFY(QDir().mkpath(results));
        if (blocker == "folder") {
            QVERIFY(QDir().mkpath(results + "/test.txt"));
        } else if (!QFile::link("/dev/full", results + "/test.txt")) {
            QSKIP("no /dev/full");
        }
    }
    h.settings.values["Quillon/Settings/resultspath"] = results;
    h.app.startUp();
    click(h.app.start(), qPrintable(button));
    const auto messages = h.dialogs.messages();
    if (error == 0) {
        QVERIFY(messages.empty());
        QVERIFY(h.app.setup().isVisible());
        return;
    }
    QCOMPARE(messages.size(), size_t(1));
    // The system's own description of the failure, in the user's language, and the file.
    QCOMPARE(messages[0].text,
             QString::fromStdString(std::generic_category().message(error)) +
                 "\n\n\"test.txt\" could not be written in the results folder \"" + results +
                 "\".");
    QCOMPARE(messages[0].style, MessageStyle::Information);
    QCOMPARE(messages[0].title, QString("Quillon"));
    QVERIFY(h.app.start().isVisible());
    QVERIFY(!h.app.setup().isVisible());
    QVERIFY(!h.app.measure().isVisible());
    if (blocker == "file") {
        QCOMPARE(read_bytes(results), QByteArray("kept"));
    }
}

void StartScreenTest::measureNeedsAValidSetup() {
    AppHarness h;
    h.startWithResultsHere();
    auto& start = h.app.start();
    click(start, "Command1");
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("The setup must be OK to proceed.  Return to the setup "
                                       "screen and create a valid setup"));
    QCOMPARE(messages[0].style, MessageStyle::Ok);
    QVERIFY(start.isVisible());
    QVERIFY(!h.app.measure().isVisible());
    // The folder check ran first and passed.
    QVERIFY(QFile::exists(h.path("test.txt")));

    // With a valid setup the Measure screen opens, and Abort goes back.
    h.session.setupValid = 1;
    click(start, "Command1");
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QVERIFY(h.app.measure().isVisible());
    QVERIFY(!start.isVisible());
    click(h.app.measure(), "btnAbort");
    QVERIFY(start.isVisible());
    QVERIFY(!h.app.measure().isVisible());
}

void StartScreenTest::jumpForcesTowardsAndHidesAway() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    auto* away = control<QRadioButton>(start, "optAway");
    auto* towards = control<QRadioButton>(start, "optTowards");
    QCOMPARE(h.session.directionSign, -1.0);
    click_option(away);
    QCOMPARE(h.session.directionSign, 1.0);
    QCOMPARE(start.passDescription().direction, quillon::course::Direction::Away);

    click_option(start, "optJump");
    QVERIFY(towards->isChecked());
    QVERIFY(!away->isVisible());
    QCOMPARE(h.session.directionSign, -1.0);
    QCOMPARE(control<QLabel>(start, "Label1")->text(), QString("Quillon Jump"));
    QVERIFY(!control(start, "Frame1")->isVisible());
    QVERIFY(control(start, "Frame7")->isVisible());

    click_option(start, "optSlalom");
    QVERIFY(away->isVisible());
    QVERIFY(!away->isChecked());
    QVERIFY(towards->isChecked());
    QCOMPARE(control<QLabel>(start, "Label1")->text(), QString("Quillon Slalom"));
    QVERIFY(control(start, "Frame1")->isVisible());
    QVERIFY(!control(start, "Frame7")->isVisible());
    start.selectDirection(quillon::course::Direction::Away);
    QCOMPARE(h.session.directionSign, 1.0);
}

// Speeds, line lengths and disciplines reach the pass through the Measure screen tests.
void StartScreenTest::typedNamesGoIntoThePassDescription() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(start.passDescription().boatManufacturer, std::string("Boat Manufacturer"));
    QTest::keyClicks(control<QLineEdit>(start, "txtTournament"), "Nationals");
    control<QComboBox>(start, "cbSkiers")->setEditText("Jane Doe");
    QCOMPARE(start.passDescription().tournament, std::string("Nationals"));
    QCOMPARE(start.passDescription().skier, std::string("Jane Doe"));
}

void StartScreenTest::manualOpensAndReturns() {
    AppHarness h;
    h.app.startUp();
    trigger(h.app.start(), "mnuManual");
    auto& manual = h.app.manual();
    QVERIFY(manual.isVisible());
    auto* text = control<QPlainTextEdit>(manual, "Text1");
    QVERIFY(text->isReadOnly());
    QVERIFY(text->toPlainText().contains("MEASURING A PASS"));
    click(manual, "Command1");
    QVERIFY(!manual.isVisible());
    QVERIFY(h.app.start().isVisible());
}

using Ending = std::function<void(quillon::app::Application&)>;
Q_DECLARE_METATYPE(Ending)

void StartScreenTest::exitAndClosingEndTheProgram_data() {
    QTest::addColumn<Ending>("ending");
    QTest::newRow("Exit on Start") << Ending([](auto& app) { trigger(app.start(), "mnuExit"); });
    QTest::newRow("closing Start") << Ending([](auto& app) { app.start().close(); });
    QTest::newRow("closing Setup") << Ending([](auto& app) {
        app.setup().show();
        app.setup().close();
    });
    QTest::newRow("Exit on Measure")
        << Ending([](auto& app) { trigger(app.measure(), "mnuExit"); });
}

void StartScreenTest::exitAndClosingEndTheProgram() {
    QFETCH(Ending, ending);
    AppHarness h;
    h.app.startUp();
    ending(h.app);
    QVERIFY(h.quitRequested);
}

void StartScreenTest::setupExitAsksWhenTheSetupIsNotComplete() {
    AppHarness h;
    h.startWithResultsHere();
    auto& start = h.app.start();
    click(start, "btnSetup");
    auto& setup = h.app.setup();

    h.dialogs.messageAnswers = {MessageAnswer::No};
    trigger(setup, "gridExit");
    auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text,
             QString("Do you want to leave the grid setup with the grid setup not complete?"));
    QCOMPARE(messages[0].style, MessageStyle::YesNo);
    QVERIFY(setup.isVisible());

    h.dialogs.messageAnswers = {MessageAnswer::Yes};
    trigger(setup, "gridExit");
    QVERIFY(!setup.isVisible());
    QVERIFY(start.isVisible());
}

// Switching discipline swaps the line lengths for the jump speeds, and the list editor opens
// below the names: none of it may grow the window and leave a blank band behind.
void StartScreenTest::theWindowKeepsItsSizeAcrossDisciplinesAndTheEditor() {
    AppHarness h;
    write_bytes(h.path("boats.txt"), "Malibu\r\nNautique\r\n");
    h.app.startUp();
    auto& start = h.app.start();
    start.show();
    QVERIFY(QTest::qWaitForWindowExposed(&start));
    QCoreApplication::processEvents();
    const QSize size = start.size();
    const struct {
        const char* step;
        std::function<void()> act;
    } steps[] = {
        {"Jump", [&] { click_option(start, "optJump"); }},
        {"Slalom", [&] { click_option(start, "optSlalom"); }},
        {"Jump again", [&] { click_option(start, "optJump"); }},
        {"Slalom again", [&] { click_option(start, "optSlalom"); }},
        {"editor opened", [&] { click(start, "cmdBoats"); }},
        {"editor on another list", [&] { click(start, "cmdSkiers"); }},
        {"editor closed", [&] { click(start, "cmdCloseSave"); }},
        {"Jump with the editor open",
         [&] {
             click(start, "cmdDrivers");
             click_option(start, "optJump");
         }},
        {"Slalom, editor closed",
         [&] {
             click_option(start, "optSlalom");
             click(start, "cmdCloseSave");
         }},
    };
    for (const auto& step : steps) {
        step.act();
        QCoreApplication::processEvents();
        QVERIFY2(start.size() == size, qPrintable(QString("%1: %2x%3, was %4x%5")
                                                      .arg(step.step)
                                                      .arg(start.width())
                                                      .arg(start.height())
                                                      .arg(size.width())
                                                      .arg(size.height())));
    }
}

QTEST_MAIN(StartScreenTest)
#include "start_screen_test.moc"
