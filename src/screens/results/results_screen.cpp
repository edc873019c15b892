#include "screens/results/results_screen.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "screens/results/deviation_graph.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

namespace {

const QString resultFileFilter = QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|");

template <typename T>
T* placed(T* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(x, y, width, height);
    return widget;
}

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
    setMinimumSize(900, 520);
    graph_ = new DeviationGraph(canvas_);

    Label1 = placed(new QLabel("Pass Results", canvas_), "Label1", 10, 4, 390, 24);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSize(title.pointSize() + 4);
    Label1->setFont(title);

    txtResults = placed(new QPlainTextEdit(canvas_), "txtResults", 10, 32, 390, 440);
    txtResults->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtResults->setLineWrapMode(QPlainTextEdit::NoWrap);

    const int right = 640;
    const char* const prompts[] = {"Split:", "Full:", "Comment:"};
    QLineEdit** boxes[] = {&txtSplit, &txtFull, &txtComment};
    const char* const names[] = {"txtSplit", "txtFull", "txtComment"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(prompts[i], canvas_);
        label->setGeometry(right, 32 + 30 * i, 70, 24);
        *boxes[i] = placed(new QLineEdit(canvas_), names[i], right + 72, 32 + 30 * i, 180, 24);
    }
    List1 = placed(new QListWidget(canvas_), "List1", right, 130, 252, 120);
    btnDisplay = placed(new QPushButton("Read and Display Results File", canvas_), "btnDisplay",
                        right, 262, 252, 32);
    btnSaveResults =
        placed(new QPushButton("Save Result File", canvas_), "btnSaveResults", right, 302, 252, 32);
    Command1 = placed(new QPushButton("Return", canvas_), "Command1", right, 342, 252, 32);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(btnSaveResults, &QPushButton::clicked, this, [this] { btnSaveResults_Click(); });
    connect(btnDisplay, &QPushButton::clicked, this, [this] { btnDisplay_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
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
    Timer1->start();
}

void ResultsScreen::Timer1_Timer() {
    Timer1->stop();
    const auto pass = screens_.start().passDescription();
    graph_->showFrame(pass.discipline, pass.direction);
    graph_->drawPass(pass.discipline, pass.direction, session_.samples.data(),
                     session_.lastSampleIndex, session_.passStatistics);
}

void ResultsScreen::showUnexpectedError(int number, const QString& description) {
    platform_.dialogs.message(
        QStringLiteral("Unexpected error #%1 occurred: %2").arg(number).arg(description),
        platform::MessageStyle::Error);
}

void ResultsScreen::btnSaveResults_Click() {}

void ResultsScreen::btnDisplay_Click() {}

void ResultsScreen::Command1_Click() {
    hide();
    StartScreen& start = screens_.start();
    const auto pass = start.passDescription();
    if (pass.discipline == course::Discipline::Slalom) {
        start.selectDirection(pass.direction == course::Direction::Away ? course::Direction::Towards
                                                                        : course::Direction::Away);
    }
    start.show();
    screens_.unloadResults();
}

}  // namespace quillon::screens
