#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace quillon::screens {

// The built-in manual, opened over the Start screen.
class ManualScreen : public QWidget {
    Q_OBJECT

  public:
    ManualScreen();
    void Form_Load() {}

  private:
    void Command1_Click();

    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace quillon::screens
