#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cerrno>
#include <system_error>

#include "screens/manual/manual_screen.h"
#include "screens/measure/measure_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "support/app_harness.h"

using quillon::platform::MessageStyle;
using quillon::testing::AppHarness;
using quillon::testing::FakeDialogs;

namespace {

template <typename T>
T* control(QWidget& screen, const char* name) {
    T* found = screen.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

// Clicks an option on its round indicator, which is always inside its click area.
void click_option(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

QAction* menu_action(QWidget& screen, const char* name) {
    auto* action = screen.findChild<QAction*>(name);
    if (action == nullptr) {
        qFatal("no menu entry %s", name);
    }
    return action;
}

}  // namespace

class StartScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void firstRunShowsAndStoresDefault();
    void storedEmptyTextGivesTheProgramFolder();
    void storedFolderIsShownAndEveryChangeIsSaved();
    void startUpSetsTheCaptionAndSessionFacts();
    void oneTrailingSeparatorIsRemovedBeforeTheProbe_data();
    void oneTrailingSeparatorIsRemovedBeforeTheProbe();
    void unwritableFolderKeepsTheStartScreen();
    void measureNeedsAValidSetup();
    void measureWithAValidSetupOpensTheMeasureScreen();
    void jumpForcesTowardsAndHidesAway();
    void directionSignFollowsTheDirection();
    void passDescriptionFollowsTheControls();
    void manualOpensAndReturns();
    void exitAndClosingEndTheProgram();
    void setupExitAsksWhenTheSetupIsNotComplete();
};

void StartScreenTest::firstRunShowsAndStoresDefault() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(control<QLineEdit>(start, "txtResults")->text(), QString("Default"));
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("Default"));

    // The probe writes inside "Default" below the program's folder, and fails while it is missing.
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QVERIFY(start.isVisible());
    QVERIFY(QDir(h.folder.path()).mkdir("Default"));
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    QVERIFY(QFile::exists(h.path("Default/test.txt")));
    QVERIFY(h.app.setup().isVisible());
    QVERIFY(!start.isVisible());
}

void StartScreenTest::storedEmptyTextGivesTheProgramFolder() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = "";
    h.app.startUp();
    QCOMPARE(control<QLineEdit>(h.app.start(), "txtResults")->text(), h.folder.path());
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>(h.folder.path()));
}

void StartScreenTest::storedFolderIsShownAndEveryChangeIsSaved() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = "/srv/results";
    h.app.startUp();
    auto* results = control<QLineEdit>(h.app.start(), "txtResults");
    QCOMPARE(results->text(), QString("/srv/results"));
    results->clear();
    QTest::keyClicks(results, "/tm");
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("/tm"));
    QTest::keyClicks(results, "p");
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>("/tmp"));
}

void StartScreenTest::startUpSetsTheCaptionAndSessionFacts() {
    AppHarness h;
    h.session.directionSign = 1.0;
    h.session.passMeasured = 3;
    h.session.keepStartFocus = true;
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(start.windowTitle(), QString("Quillon Dynamic Version 16.0"));
    QCOMPARE(control<QLabel>(start, "Label1")->text(), QString("Quillon Slalom"));
    QCOMPARE(QString::fromStdString(h.session.appFolder), h.folder.path());
    QVERIFY(std::stoi(h.session.screenWidthPx) > 0);
    QVERIFY(std::stoi(h.session.screenHeightPx) > 0);
    QCOMPARE(h.session.directionSign, -1.0);
    QCOMPARE(h.session.passMeasured, 0);
    QVERIFY(!h.session.keepStartFocus);
    QCOMPARE(QDir::currentPath(), h.folder.path());
    for (const char* list : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"}) {
        QVERIFY2(QFile::exists(h.path(list)), list);
    }
    // The Measure screen exists from the start, hidden.
    QVERIFY(!h.app.measure().isVisible());
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {
        {"optSlalom", "Slalom"},
        {"optJump", "Jump"},
        {"opt36", "58/36"},
        {"optOtherSpeed", "46/28"},
        {"optj30", "48/30"},
        {"optj45", "72/45"},
        {"Option1", "18.25"},
        {"Option10", "9.25"},
        {"optAway", "Going away from Camera"},
        {"optTowards", "Coming toward Camera"},
    };
    for (const auto& c : captions) {
        QCOMPARE(control<QRadioButton>(start, c.name)->text(), QString(c.caption));
    }
    QCOMPARE(control<QPushButton>(start, "btnSetup")->text(), QString("Go To Setup"));
    QCOMPARE(control<QPushButton>(start, "Command1")->text(), QString("Measure"));
    QCOMPARE(control<QLineEdit>(start, "txtNumber")->text(), QString("1"));
    QCOMPARE(menu_action(start, "mnuManual")->text(), QString("&Read Manual"));
    QCOMPARE(menu_action(start, "mnuExit")->text(), QString("E&xit"));
    QVERIFY(control<QRadioButton>(start, "opt36")->isChecked());
    QVERIFY(control<QRadioButton>(start, "optj35")->isChecked());
    QVERIFY(control<QRadioButton>(start, "Option6")->isChecked());
    QVERIFY(control<QRadioButton>(start, "optTowards")->isChecked());
    QVERIFY(!control<QWidget>(start, "Frame7")->isVisible());
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
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(start, "txtResults")->text(), folder);
    QCOMPARE(h.settings.resultsPath(), std::optional<QString>(folder));
    QVERIFY(QFile::exists(folder + "/test.txt"));
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(h.app.setup().isVisible());
}

void StartScreenTest::unwritableFolderKeepsTheStartScreen() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = h.path("missing/deeper");
    h.app.startUp();
    auto& start = h.app.start();
    for (const char* button : {"btnSetup", "Command1"}) {
        h.dialogs.shown.clear();
        QTest::mouseClick(control<QPushButton>(start, button), Qt::LeftButton);
        const auto messages = h.dialogs.messages();
        QCOMPARE(messages.size(), size_t(1));
        // The system's own description of the failure, in the user's language.
        QCOMPARE(messages[0].text, QString::fromStdString(std::generic_category().message(ENOENT)));
        QCOMPARE(messages[0].style, MessageStyle::Information);
        QCOMPARE(messages[0].title, QString("Quillon"));
        QVERIFY(start.isVisible());
        QVERIFY(!h.app.setup().isVisible());
        QVERIFY(!h.app.measure().isVisible());
    }
}

void StartScreenTest::measureNeedsAValidSetup() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = h.folder.path();
    h.app.startUp();
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "Command1"), Qt::LeftButton);
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("The setup must be OK to proceed.  Return to the setup "
                                       "screen and create a valid setup"));
    QCOMPARE(messages[0].style, MessageStyle::Ok);
    QVERIFY(start.isVisible());
    QVERIFY(!h.app.measure().isVisible());
    // The folder check ran first and passed.
    QVERIFY(QFile::exists(h.path("test.txt")));
}

void StartScreenTest::measureWithAValidSetupOpensTheMeasureScreen() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = h.folder.path();
    h.app.startUp();
    h.session.setupValid = 1;
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "Command1"), Qt::LeftButton);
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(h.app.measure().isVisible());
    QCOMPARE(h.app.measure().windowTitle(), QString("Measure Boat Path Deviation"));
    QVERIFY(!start.isVisible());
    // Abort goes back.
    QTest::mouseClick(control<QPushButton>(h.app.measure(), "btnAbort"), Qt::LeftButton);
    QVERIFY(start.isVisible());
    QVERIFY(!h.app.measure().isVisible());
}

void StartScreenTest::jumpForcesTowardsAndHidesAway() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    auto* away = control<QRadioButton>(start, "optAway");
    auto* towards = control<QRadioButton>(start, "optTowards");
    click_option(away);
    QVERIFY(away->isChecked());

    click_option(control<QRadioButton>(start, "optJump"));
    QVERIFY(towards->isChecked());
    QVERIFY(!away->isVisible());
    QCOMPARE(h.session.directionSign, -1.0);
    QCOMPARE(control<QLabel>(start, "Label1")->text(), QString("Quillon Jump"));
    QVERIFY(!control<QWidget>(start, "Frame1")->isVisible());
    QVERIFY(!control<QWidget>(start, "Frame5")->isVisible());
    QVERIFY(control<QWidget>(start, "Frame7")->isVisible());

    click_option(control<QRadioButton>(start, "optSlalom"));
    QVERIFY(away->isVisible());
    QVERIFY(!away->isChecked());
    QVERIFY(towards->isChecked());
    QCOMPARE(control<QLabel>(start, "Label1")->text(), QString("Quillon Slalom"));
    QVERIFY(control<QWidget>(start, "Frame1")->isVisible());
    QVERIFY(control<QWidget>(start, "Frame5")->isVisible());
    QVERIFY(!control<QWidget>(start, "Frame7")->isVisible());
}

void StartScreenTest::directionSignFollowsTheDirection() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    QCOMPARE(h.session.directionSign, -1.0);
    click_option(control<QRadioButton>(start, "optAway"));
    QCOMPARE(h.session.directionSign, 1.0);
    QCOMPARE(start.passDescription().direction, quillon::course::Direction::Away);
    click_option(control<QRadioButton>(start, "optTowards"));
    QCOMPARE(h.session.directionSign, -1.0);
    start.selectDirection(quillon::course::Direction::Away);
    QCOMPARE(h.session.directionSign, 1.0);
}

void StartScreenTest::passDescriptionFollowsTheControls() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    using namespace quillon::course;

    PassDescription pass = start.passDescription();
    QCOMPARE(pass.discipline, Discipline::Slalom);
    QCOMPARE(last_sample_index(pass), 161);
    QCOMPARE(line_length_report_text(pass.lineLength), std::string("11.25m"));
    QCOMPARE(pass.boatManufacturer, std::string("Boat Manufacturer"));
    QCOMPARE(pass.skier, std::string("Skiers"));

    click_option(control<QRadioButton>(start, "Option9"));
    click_option(control<QRadioButton>(start, "optOtherSpeed"));
    QTest::keyClicks(control<QLineEdit>(start, "txtTournament"), "Nationals");
    control<QComboBox>(start, "cbSkiers")->setEditText("Jane Doe");
    pass = start.passDescription();
    QCOMPARE(line_length_label(pass.lineLength), std::string(" 9.75"));
    QCOMPARE(last_sample_index(pass), 203);
    QCOMPARE(pass.tournament, std::string("Nationals"));
    QCOMPARE(pass.skier, std::string("Jane Doe"));

    click_option(control<QRadioButton>(start, "optJump"));
    click_option(control<QRadioButton>(start, "optj45"));
    pass = start.passDescription();
    QCOMPARE(pass.discipline, Discipline::Jump);
    QCOMPARE(last_sample_index(pass), 140);
}

void StartScreenTest::manualOpensAndReturns() {
    AppHarness h;
    h.app.startUp();
    menu_action(h.app.start(), "mnuManual")->trigger();
    auto& manual = h.app.manual();
    QVERIFY(manual.isVisible());
    QCOMPARE(manual.windowTitle(), QString("Quillon Program Manual"));
    auto* text = control<QPlainTextEdit>(manual, "Text1");
    QVERIFY(text->isReadOnly());
    const QString body = text->toPlainText();
    // The manual's order: the overlay, the purpose, the screens, a pass, the results.
    const qsizetype overlay = body.indexOf("magenta");
    const qsizetype purpose = body.indexOf("record limit");
    const qsizetype screens = body.indexOf("START SCREEN");
    const qsizetype procedure = body.indexOf("MEASURING A PASS");
    const qsizetype results = body.indexOf("24 cm on each side");
    QVERIFY(overlay >= 0 && overlay < purpose && purpose < screens && screens < procedure &&
            procedure < results);
    QVERIFY(body.contains("48 cm in jump") && body.contains("20 cm record limit"));
    QTest::mouseClick(control<QPushButton>(manual, "Command1"), Qt::LeftButton);
    QVERIFY(!manual.isVisible());
    QVERIFY(h.app.start().isVisible());
}

void StartScreenTest::exitAndClosingEndTheProgram() {
    {
        AppHarness h;
        h.app.startUp();
        menu_action(h.app.start(), "mnuExit")->trigger();
        QVERIFY(h.quitRequested);
        QVERIFY(!h.app.start().isVisible());
    }
    {
        AppHarness h;
        h.app.startUp();
        h.app.start().close();
        QVERIFY(h.quitRequested);
    }
    {
        AppHarness h;
        h.app.startUp();
        h.app.setup().show();
        h.app.setup().close();
        QVERIFY(h.quitRequested);
    }
    {
        AppHarness h;
        h.app.startUp();
        menu_action(h.app.measure(), "mnuExit")->trigger();
        QVERIFY(h.quitRequested);
    }
}

void StartScreenTest::setupExitAsksWhenTheSetupIsNotComplete() {
    AppHarness h;
    h.settings.values["Quillon/Settings/resultspath"] = h.folder.path();
    h.app.startUp();
    auto& start = h.app.start();
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    auto& setup = h.app.setup();
    QCOMPARE(setup.windowTitle(), QString("Grid Setup"));

    h.dialogs.messageAnswers = {quillon::platform::MessageAnswer::No};
    menu_action(setup, "gridExit")->trigger();
    auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text,
             QString("Do you want to leave the grid setup with the grid setup not complete?"));
    QCOMPARE(messages[0].title, QString("Grid Setup Error"));
    QCOMPARE(messages[0].style, MessageStyle::YesNo);
    QVERIFY(setup.isVisible());

    h.dialogs.messageAnswers = {quillon::platform::MessageAnswer::Yes};
    menu_action(setup, "gridExit")->trigger();
    QVERIFY(!setup.isVisible());
    QVERIFY(start.isVisible());

    h.session.setupValid = 1;
    h.dialogs.shown.clear();
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    menu_action(setup, "gridExit")->trigger();
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(start.isVisible());
}

QTEST_MAIN(StartScreenTest)
#include "start_screen_test.moc"
