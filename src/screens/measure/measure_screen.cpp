#include "screens/measure/measure_screen.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>

#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

MeasureScreen::MeasureScreen(session::PassSession& session, Screens& screens,
                             platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Measure Boat Path Deviation");
    auto* surface = new OverlayCanvas(this);
    setCentralWidget(surface);

    btnAbort = new QPushButton("Abort Measurement", surface);
    btnAbort->setObjectName("btnAbort");
    btnAbort->move(20, 20);
    connect(btnAbort, &QPushButton::clicked, this, [this] { btnAbort_Click(); });

    mnuStart = menuBar()->addAction("&Return to Start");
    mnuStart->setObjectName("mnuStart");
    connect(mnuStart, &QAction::triggered, this, [this] { mnuStart_Click(); });
    mnuExit = menuBar()->addAction("E&xit Program");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
}

void MeasureScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    screens_.quit();
}

void MeasureScreen::btnAbort_Click() {
    hide();
    screens_.start().show();
}

void MeasureScreen::mnuStart_Click() {
    btnAbort_Click();
}

void MeasureScreen::mnuExit_Click() {
    screens_.quit();
}

}  // namespace quillon::screens
