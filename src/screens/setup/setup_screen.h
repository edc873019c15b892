#pragma once

#include <QMainWindow>

#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

class QAction;

namespace quillon::screens {

// "Grid Setup": calibrates the camera model from four marked buoys or a setup file.
class SetupScreen : public QMainWindow {
    Q_OBJECT

  public:
    SetupScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);
    void Form_Load() {}

    // Half the length of a marking cross, in twips (the Setup_Cross_size scroll bar).
    double crossSize() const { return 90; }

  protected:
    void closeEvent(class QCloseEvent* event) override;

  private:
    void gridExit_Click();

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;
    QAction* gridExit = nullptr;
};

}  // namespace quillon::screens
