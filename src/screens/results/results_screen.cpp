#include "screens/results/results_screen.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>

#include "analysis/pass_report.h"
#include "analysis/results_errors.h"
#include "analysis/sample_provenance.h"
#include "analysis/samples_csv.h"
#include "analysis/saved_report.h"
#include "dossier/dossier_pages.h"
#include "screens/results/deviation_graph.h"
#include "screens/results/zone_settings_dialog.h"
#include "screens/widgets/overlay_canvas.h"
#include "text/text_file.h"
#include "text/text_value.h"

namespace quillon::screens {

namespace {

const QString resultFileFilter = QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|");

// The report box shows lines; files carry CR LF.
QString shown_text(const std::string& fileText) {
    return QString::fromStdString(fileText).replace("\r\n", "\n");
}

std::string file_text(const QString& shown) {
    return QString(shown).replace("\n", "\r\n").toStdString();
}

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

template <typename T>
T* placed(T* widget, const char* name, int x, int y, int width, int height) {
    widget->setGeometry(x, y, width, height);
    return named(widget, name);
}

// Pixels. The graph stands at fixed twips, its buoy numbers from 416 pixels in: the report box
// keeps to its left and the prompts, the legend and the file buttons to its right.
constexpr int margin = 10;
constexpr int reportRight = 412;
constexpr int rightColumn = 640;
constexpr int columnWidth = 252;
// "Frame  161   Course Position: 259.0   Deviation: -1.25": a sample line of a long pass with a
// deviation of a metre or more.
constexpr int sampleLineChars = 54;
constexpr double smallestReportPoints = 7;
// Where the zone table and the dossier buttons stand when the window is wide enough for them
// beside the file buttons, and where they go when it is not: the table under the report and
// the graph (below the jump scale's caption, the lowest thing the graph shows), the buttons
// under the file buttons.
constexpr int wideDossierLeft = 910;
constexpr int wideTableHeight = 262;
constexpr int underGraphTop = 490;
constexpr int narrowButtonsTop = 392;
constexpr int buttonHeight = 32;
constexpr int buttonStep = 40;

}  // namespace

ResultsScreen::ResultsScreen(session::PassSession& session, Screens& screens,
                             platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Path Deviation Display and Information");
    buildControls();
}

void ResultsScreen::buildControls() {
    canvas_ = new OverlayCanvas(this);
    canvas_->setBackgroundColour(palette().color(QPalette::Window));
    setCentralWidget(canvas_);
    setMinimumSize(rightColumn + columnWidth + margin, 520);
    // The window opens maximized; where no window manager maximizes it, it still takes the
    // display's free area.
    if (const QScreen* display = screen()) {
        resize(display->availableGeometry().size().expandedTo(minimumSize()));
    }
    graph_ = new DeviationGraph(canvas_);

    Label1 = placed(new QLabel("Pass Results", canvas_), "Label1", margin, 4, 390, 24);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSize(title.pointSize() + 4);
    Label1->setFont(title);

    lblTrackWarning = named(new QLabel(canvas_), "lblTrackWarning");
    QFont warning = lblTrackWarning->font();
    warning.setBold(true);
    lblTrackWarning->setFont(warning);
    lblTrackWarning->setStyleSheet("QLabel { color: rgb(200, 0, 0); }");
    lblTrackWarning->hide();

    txtResults = named(new QPlainTextEdit(canvas_), "txtResults");
    // The box reaches up to the graph's buoy numbers. Its type is the fixed font, made smaller
    // where need be so that a sample line fits the box; a longer line (the pass clock, a long
    // comment) wraps rather than runs out of sight.
    txtResults->setGeometry(margin, 32, reportRight - margin, 440);
    txtResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtResults->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int textRoom = txtResults->width() - 2 * txtResults->frameWidth() -
                         2 * static_cast<int>(txtResults->document()->documentMargin()) -
                         txtResults->verticalScrollBar()->sizeHint().width() - 1;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    while (QFontMetrics(fixed).horizontalAdvance(QString(sampleLineChars, '0')) > textRoom &&
           fixed.pointSizeF() > smallestReportPoints) {
        fixed.setPointSizeF(fixed.pointSizeF() - 0.5);
    }
    txtResults->setFont(fixed);

    const char* const prompts[] = {"Split:", "Full:", "Comment:"};
    QLineEdit** boxes[] = {&txtSplit, &txtFull, &txtComment};
    const char* const names[] = {"txtSplit", "txtFull", "txtComment"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(prompts[i], canvas_);
        label->setGeometry(rightColumn, 32 + 30 * i, 70, 24);
        *boxes[i] =
            placed(new QLineEdit(canvas_), names[i], rightColumn + 72, 32 + 30 * i, 180, 24);
    }
    List1 = placed(new QListWidget(canvas_), "List1", rightColumn, 130, columnWidth, 120);
    btnDisplay = placed(new QPushButton("Read and Display Results File", canvas_), "btnDisplay",
                        rightColumn, 262, columnWidth, 32);
    btnSaveResults = placed(new QPushButton("Save Result File", canvas_), "btnSaveResults",
                            rightColumn, 302, columnWidth, 32);
    Command1 =
        placed(new QPushButton("Return", canvas_), "Command1", rightColumn, 342, columnWidth, 32);

    tblZones = named(new QTableWidget(0, 7, canvas_), "tblZones");
    tblZones->setHorizontalHeaderLabels(
        {"Zone", "Buoy", "Samples", "Mean (m)", "Largest (m)", "Off centre (m)", "Flag"});
    tblZones->verticalHeader()->hide();
    tblZones->verticalHeader()->setDefaultSectionSize(tblZones->fontMetrics().height() + 6);
    tblZones->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblZones->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    btnZoneSettings = named(new QPushButton("Zone Settings...", canvas_), "btnZoneSettings");
    btnSaveDossier = named(new QPushButton("Save Dossier (PDF)...", canvas_), "btnSaveDossier");
    btnPrint = named(new QPushButton("Print...", canvas_), "btnPrint");
    btnExportCsv = named(new QPushButton("Export Samples (CSV)...", canvas_), "btnExportCsv");
    for (QPushButton* button : {btnSaveDossier, btnPrint, btnExportCsv}) {
        button->setEnabled(false);
    }
    placeDossier();
    loadZoneSettings();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(btnSaveResults, &QPushButton::clicked, this, [this] { btnSaveResults_Click(); });
    connect(btnDisplay, &QPushButton::clicked, this, [this] { btnDisplay_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(btnZoneSettings, &QPushButton::clicked, this, [this] { btnZoneSettings_Click(); });
    connect(btnSaveDossier, &QPushButton::clicked, this, [this] { btnSaveDossier_Click(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrint_Click(); });
    connect(btnExportCsv, &QPushButton::clicked, this, [this] { btnExportCsv_Click(); });
}

void ResultsScreen::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeDossier();
}

// The zone table is never narrower than its headers and cells: when the window has no room for
// it beside the file buttons, it goes under the report and the graph, which leaves every
// control on a 1024 x 768 display.
void ResultsScreen::placeDossier() {
    QHeaderView* header = tblZones->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    const int frame = 2 * tblZones->frameWidth();
    const int tableWidth =
        header->length() + frame + tblZones->verticalScrollBar()->sizeHint().width();
    const int rows = std::max(tblZones->rowCount(), 8);
    const int tableHeight = header->sizeHint().height() +
                            rows * tblZones->verticalHeader()->defaultSectionSize() + frame;
    const int width = canvas_->width();
    const bool wide = width >= wideDossierLeft + tableWidth + margin;
    lblTrackWarning->setGeometry(reportRight, 0, std::clamp(width - reportRight - margin, 0, 830),
                                 20);
    QPushButton* const buttons[] = {btnZoneSettings, btnSaveDossier, btnPrint, btnExportCsv};
    if (wide) {
        const int height = std::min(tableHeight, wideTableHeight);
        tblZones->setGeometry(wideDossierLeft, 32, tableWidth, height);
        for (int i = 0; i < 4; ++i) {
            buttons[i]->setGeometry(wideDossierLeft, 32 + height + 8 + buttonStep * i, tableWidth,
                                    buttonHeight);
        }
        return;
    }
    const int roomBelow = canvas_->height() - underGraphTop - margin;
    tblZones->setGeometry(margin, underGraphTop, std::min(tableWidth, rightColumn - 2 * margin),
                          std::max(std::min(tableHeight, roomBelow), 4 * buttonHeight));
    for (int i = 0; i < 4; ++i) {
        buttons[i]->setGeometry(rightColumn, narrowButtonsTop + buttonStep * i, columnWidth,
                                buttonHeight);
    }
}

void ResultsScreen::Form_Load() {
    List1->clear();
    txtComment->clear();
    txtSplit->setText(platform_.dialogs.input("Enter split time:", "Split Time").value_or(""));
    txtFull->setText(platform_.dialogs.input("Enter full time:", "Full Time").value_or(""));
    txtComment->setText(
        platform_.dialogs.input("Enter comment if desired:", "Comment").value_or(""));
    if (session_.passMeasured != 0) {
        List1->addItem("Black/Red - Measured Data");
        List1->addItem("Blue - Best Fit Path Line");
        build_pass_report();
    } else {
        platform_.dialogs.message("No Results loaded yet");
    }
}

void ResultsScreen::build_pass_report() {
    analysis::PassReportInput input;
    input.pass = session_.measuredPass;
    input.samples = session_.samples;
    input.lastSampleIndex = session_.lastSampleIndex;
    input.figures = {session_.passSampleCount, session_.passMeanAbsDeviation,
                     session_.passMaxAbsDeviation, session_.passMaxAbsIndex};
    input.directionSign = session_.directionSign;
    input.speedText = session_.passSpeedText;
    input.lineText = session_.passLineText;
    input.split = txtSplit->text().toStdString();
    input.full = txtFull->text().toStdString();
    input.comment = txtComment->text().toStdString();
    input.now = platform_.clock.now();
    input.clockLine = session_.passClockLine;

    analysis::PassReport report;
    try {
        report = analysis::build_pass_report(input);
    } catch (const std::exception& failure) {
        platform_.dialogs.message(
            QStringLiteral("The pass cannot be reported: %1").arg(failure.what()),
            platform::MessageStyle::Exclamation);
        return;
    }
    session_.passStatistics = report.statistics;
    txtResults->setPlainText(shown_text(report.text));
    showTrackWarning();
    reportText_ = report.text;
    reportTime_ = input.now;
    for (QPushButton* button : {btnSaveDossier, btnPrint, btnExportCsv}) {
        button->setEnabled(true);
    }
    showZones();
    // One message per log that could not be written; the others are written all the same.
    for (const analysis::LogWrite* log :
         {&report.summaryFile, &report.resultLog, &report.databaseLog}) {
        if (!log->status) {
            platform_.dialogs.message(QStringLiteral("The log \"%1\" could not be written: %2")
                                          .arg(QString::fromStdString(log->path),
                                               QString::fromStdString(log->status.description)),
                                      platform::MessageStyle::Exclamation);
        }
    }
    Timer1->start();
}

// "Auto Track: 7 of 162 samples not tracked (36, 61-63, 137-139)", above the graph, when more
// than one sample in twenty of an auto-tracked pass was not on the mark.
void ResultsScreen::showTrackWarning() {
    const int count = session_.passSampleCount;
    const auto untracked = analysis::untracked_samples(session_.sampleProvenance, count);
    const bool shown = analysis::auto_tracked(session_.sampleProvenance, count) &&
                       untracked.size() * 20 > static_cast<std::size_t>(count);
    lblTrackWarning->setVisible(shown);
    if (shown) {
        lblTrackWarning->setText(
            QStringLiteral("Auto Track: %1 of %2 samples not tracked (%3)")
                .arg(untracked.size())
                .arg(count)
                .arg(QString::fromStdString(analysis::sample_ranges(untracked))));
    }
}

void ResultsScreen::Timer1_Timer() {
    Timer1->stop();
    const auto pass = session_.measuredPass;
    graph_->showFrame(pass.discipline, pass.direction);
    graph_->showZoneSettings(pass.discipline, zoneSettings_);
    const int count = session_.lastSampleIndex + 1;
    const auto untracked = analysis::auto_tracked(session_.sampleProvenance, count)
                               ? analysis::untracked_samples(session_.sampleProvenance, count)
                               : std::vector<int>{};
    graph_->drawPass(pass.discipline, pass.direction, session_.samples.data(),
                     session_.lastSampleIndex, session_.passStatistics, untracked);
    graph_->drawZoneTicks(
        pass.discipline, pass.direction,
        analysis::zone_readings(session_.samples, session_.lastSampleIndex, session_.directionSign,
                                pass.discipline, zoneSettings_));
}

void ResultsScreen::showUnexpectedError(const analysis::UnexpectedError& error, const QString& file,
                                        const QString& refusedFolder) {
    QString text = QString::fromStdString(analysis::unexpected_error_text(error));
    if (!file.isEmpty()) {
        text += QStringLiteral("\n\nFile: \"%1\"").arg(file);
    }
    if (!refusedFolder.isEmpty()) {
        text += QStringLiteral(
                    "\n\nThe folder \"%1\" takes no new file; a file of that name in it is kept "
                    "as it was.")
                    .arg(refusedFolder);
    }
    platform_.dialogs.message(text, platform::MessageStyle::Error);
}

platform::FileDialogRequest ResultsScreen::resultFileRequest(const QString& title) const {
    return {title, resultFileFilter, 2,
            QString::fromStdString(screens_.selections().passDescription().resultsFolder)};
}

void ResultsScreen::btnSaveResults_Click() {
    const auto path = platform_.dialogs.saveFile(resultFileRequest("Save Result File"));
    if (!path) {
        showUnexpectedError(analysis::cancelWasSelected);
        return;
    }
    const auto saved = text::replace_file(
        path->toStdString(), analysis::saved_report_text(file_text(txtResults->toPlainText())));
    if (!saved) {
        showUnexpectedError(analysis::file_error(saved), *path,
                            QString::fromStdString(saved.refusedFolder));
        return;
    }
    Command1->setFocus();
}

int ResultsScreen::askPathColour() {
    const QString prompt =
        "Please input a color for the graph to display in:\n1 = Blue\n2 = Green\n3 = Cyan\n"
        "4 = Red\n5 = Magenta\n6 = Yellow\n7 = White";
    while (true) {
        const auto answer = platform_.dialogs.input(prompt, platform::applicationTitle);
        const double value = text::text_value(answer.value_or(QString()).toStdString());
        if (value >= 1 && value <= 7 && value == std::floor(value)) {
            return static_cast<int>(value);
        }
    }
}

void ResultsScreen::btnDisplay_Click() {
    const auto path =
        platform_.dialogs.openFile(resultFileRequest("Read and Display Results File"));
    if (!path) {
        showUnexpectedError(analysis::cancelWasSelected);
        return;
    }
    auto file = text::read_file(path->toStdString(), analysis::maxSavedReportBytes);
    if (file.tooLarge) {
        platform_.dialogs.message(
            QStringLiteral("The file \"%1\" is too large to be a saved pass report.").arg(*path),
            platform::MessageStyle::Exclamation);
        return;
    }
    if (!file.status) {
        showUnexpectedError(analysis::file_error(file.status), *path);
        return;
    }
    const auto pass = screens_.selections().passDescription();
    analysis::SavedReportReader reader(std::move(file.bytes), pass.discipline);
    if (const auto refusal = reader.checkFirstItem()) {
        platform_.dialogs.message(QString::fromStdString(*refusal));
        return;
    }
    // The whole file is read before anything is asked or shown, so a file that cannot be
    // shown leaves the screen as it was.
    const analysis::SavedReport saved = reader.readRest();
    if (saved.error) {
        showUnexpectedError(*saved.error);
        return;
    }
    const int colour = askPathColour();
    List1->addItem(DeviationGraph::reloadColourName(colour) + " - " + *path);
    txtResults->setPlainText(shown_text(saved.shownText));

    std::vector<std::pair<double, double>> points;
    points.reserve(saved.points.size());
    for (const auto& point : saved.points) {
        points.emplace_back(point.position, point.deviation);
    }
    // The buoys are numbered for the direction of the pass on the graph last.
    graph_->showFrame(pass.discipline, saved.direction);
    graph_->showZoneSettings(pass.discipline, zoneSettings_);
    graph_->drawReloadedPath(pass.discipline, saved.direction, points,
                             DeviationGraph::reloadColour(colour));
}

void ResultsScreen::Command1_Click() {
    hide();
    PassSelections& selections = screens_.selections();
    const auto pass = selections.passDescription();
    if (pass.discipline == course::Discipline::Slalom) {
        selections.selectDirection(pass.direction == course::Direction::Away
                                       ? course::Direction::Towards
                                       : course::Direction::Away);
    }
    screens_.show(Screen::Start);
    screens_.unloadResults();
}

}  // namespace quillon::screens

namespace quillon::screens {

void ResultsScreen::closeEvent(QCloseEvent* event) {
    // The logs are written already; without this the program would go on with no window.
    event->ignore();
    Command1_Click();
}

}  // namespace quillon::screens
