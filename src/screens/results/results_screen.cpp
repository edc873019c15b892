#include "screens/results/results_screen.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/start/start_screen.h"

namespace quillon::screens {

ResultsScreen::ResultsScreen(session::PassSession& session, Screens& screens,
                             platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Path Deviation Display and Information");
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel("Pass Results", this);
    Label1->setObjectName("Label1");
    layout->addWidget(Label1);
    layout->addStretch();
    Command1 = new QPushButton("Return", this);
    Command1->setObjectName("Command1");
    layout->addWidget(Command1, 0, Qt::AlignRight);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

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
