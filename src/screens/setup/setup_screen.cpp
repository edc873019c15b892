#include "screens/setup/setup_screen.h"

#include <QCloseEvent>
#include <QMenuBar>

#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

SetupScreen::SetupScreen(session::PassSession& session, Screens& screens,
                         platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Grid Setup");
    auto* surface = new OverlayCanvas(this);
    setCentralWidget(surface);
    resize(1024, 700);

    gridExit = menuBar()->addAction("E&xit");
    gridExit->setObjectName("gridExit");
    connect(gridExit, &QAction::triggered, this, [this] { gridExit_Click(); });
}

void SetupScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    screens_.quit();
}

void SetupScreen::gridExit_Click() {
    if (session_.setupValid == 0 &&
        platform_.dialogs.message(
            "Do you want to leave the grid setup with the grid setup not complete?",
            platform::MessageStyle::YesNo, "Grid Setup Error") != platform::MessageAnswer::Yes) {
        return;
    }
    hide();
    screens_.start().show();
}

}  // namespace quillon::screens
