#pragma once

#include <QMainWindow>
#include <QString>
#include <map>

#include "course/pass_description.h"
#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace quillon::screens {

struct NameList;

// The program's first window: the pass description, the results folder, the name lists and
// the way to the Setup, Measure and Manual screens.
class StartScreen : public QMainWindow, public PassSelections {
    Q_OBJECT

  public:
    StartScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);

    // The start-up sequence; run once, right after the screen is created.
    void Form_Load();

    // The current selections, built from the controls on every call.
    course::PassDescription passDescription() const override;

    // Selects a direction option exactly as a click would (so directionSign follows).
    void selectDirection(course::Direction direction) override;

    // The list being edited ("Boats", "Models", "Drivers", "Skiers"), empty before the first edit.
    const QString& editMode() const { return editMode_; }

  protected:
    void closeEvent(class QCloseEvent* event) override;

  private:
    void buildControls();
    QGroupBox* buildDisciplineFrame();
    QGroupBox* buildSlalomSpeedFrame();
    QGroupBox* buildJumpSpeedFrame();
    QGroupBox* buildLineLengthFrame();
    QGroupBox* buildDirectionFrame();
    QWidget* buildNamesAndDetails();
    void connectHandlers();

    void txtResults_Change();
    void optSlalom_Click();
    void optJump_Click();
    void optAway_Click();
    void optTowards_Click();
    void btnSetup_Click();
    void Command1_Click();
    void cmdEditList_Click(const QString& modeWord);
    void cmdCloseSave_Click();
    void mnuManual_Click();
    void mnuExit_Click();

    // The results-folder check of both navigation buttons: true when the folder can be written.
    bool resultsFolderUsable();
    void loadList(const QString& modeWord);
    const NameList* editedList() const;
    bool mayDropEditorText(const QString& then);
    QString listPath(const char* fileName) const;

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;
    QString editMode_;
    // The editor's text as the list file gave it: anything else is typed and not saved.
    QString editorOpenedWith_;

    QLabel* Label1 = nullptr;
    QRadioButton* optSlalom = nullptr;
    QRadioButton* optJump = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame7 = nullptr;
    QRadioButton* optAway = nullptr;
    QRadioButton* optTowards = nullptr;
    std::map<course::SlalomSpeed, QRadioButton*> slalomSpeedOptions_;
    std::map<course::JumpSpeed, QRadioButton*> jumpSpeedOptions_;
    std::map<course::LineLength, QRadioButton*> lineLengthOptions_;
    std::map<QString, QComboBox*> nameBoxes_;
    QLineEdit* txtTournament = nullptr;
    QLineEdit* txtLocation = nullptr;
    QLineEdit* txtDate = nullptr;
    QLineEdit* txtNumber = nullptr;
    QLineEdit* txtResults = nullptr;
    QLabel* lblEditList = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* cmdCloseSave = nullptr;
    QPushButton* btnSetup = nullptr;
    QPushButton* Command1 = nullptr;
    QAction* mnuManual = nullptr;
    QAction* mnuExit = nullptr;
};

}  // namespace quillon::screens
