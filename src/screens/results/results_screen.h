#pragma once

#include <QWidget>

#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

class QLabel;
class QPushButton;

namespace quillon::screens {

// "Path Deviation Display and Information": the report and graph of the pass just measured.
// Created anew for every pass.
class ResultsScreen : public QWidget {
    Q_OBJECT

  public:
    ResultsScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);
    void Form_Load() {}

  private:
    void Command1_Click();

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace quillon::screens
