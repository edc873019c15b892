#pragma once

#include <QMainWindow>

#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

class QAction;
class QPushButton;

namespace quillon::screens {

// "Measure Boat Path Deviation": the operator keeps the line on the boat during a pass.
class MeasureScreen : public QMainWindow {
    Q_OBJECT

  public:
    MeasureScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);
    void Form_Load() {}

  protected:
    void closeEvent(class QCloseEvent* event) override;

  private:
    void btnAbort_Click();
    void mnuStart_Click();
    void mnuExit_Click();

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;
    QPushButton* btnAbort = nullptr;
    QAction* mnuStart = nullptr;
    QAction* mnuExit = nullptr;
};

}  // namespace quillon::screens
