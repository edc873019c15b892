#pragma once

#include <QMainWindow>

#include <optional>
#include <string>

#include "analysis/results_errors.h"
#include "analysis/zone_readings.h"
#include "dossier/dossier_content.h"
#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"
#include "text/date_time.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace quillon::screens {

class DeviationGraph;
class OverlayCanvas;

// "Path Deviation Display and Information": the report and graph of the pass just measured,
// saving the report and reading saved ones back onto the graph. Created anew for every pass.
class ResultsScreen : public QMainWindow {
    Q_OBJECT

  public:
    ResultsScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);

    // Asks for the split time, full time and comment, then reports and graphs the pass.
    void Form_Load();

    // The graph's drawing surface, for looking at what was drawn.
    const OverlayCanvas& canvas() const { return *canvas_; }

  protected:
    // Closing the window is leaving it: the same as "Return".
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls();
    // The zone table and the dossier buttons beside the file buttons when the window is wide
    // enough, else under the report and the graph.
    void placeDossier();
    void showTrackWarning();
    void build_pass_report();
    void Timer1_Timer();
    void btnSaveResults_Click();
    void btnDisplay_Click();
    void Command1_Click();
    // The record dossier: zone table, zone settings, PDF, printing and the samples as CSV.
    void btnZoneSettings_Click();
    void btnSaveDossier_Click();
    void btnPrint_Click();
    void btnExportCsv_Click();
    void loadZoneSettings();
    void saveZoneSettings();
    void showZones();
    void drawZoneTicks();
    std::optional<dossier::DossierContent> dossierContent();
    // Asks for a file to save with the filter, proposing "<Skier>_<yyyy-mm-dd>_<hh-mm>.<ext>"
    // in the results folder; the extension is added when the name chosen has none. Nothing on a
    // cancel.
    std::optional<QString> askFileToSave(const QString& title, const QString& filter,
                                         const QString& extension);
    // The error in its fixed form; a file error names the file on a line of its own.
    void showUnexpectedError(const analysis::UnexpectedError& error, const QString& file = {},
                             const QString& refusedFolder = {});
    platform::FileDialogRequest resultFileRequest(const QString& title) const;
    // Asks until the answer is a colour number from 1 to 7.
    int askPathColour();

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;

    OverlayCanvas* canvas_ = nullptr;
    DeviationGraph* graph_ = nullptr;
    QLabel* Label1 = nullptr;
    // Above the graph: how many samples Auto Track did not track, when they are many.
    QLabel* lblTrackWarning = nullptr;
    QPlainTextEdit* txtResults = nullptr;
    QLineEdit* txtSplit = nullptr;
    QLineEdit* txtFull = nullptr;
    QLineEdit* txtComment = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* btnDisplay = nullptr;
    QPushButton* btnSaveResults = nullptr;
    QPushButton* Command1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTableWidget* tblZones = nullptr;
    QPushButton* btnZoneSettings = nullptr;
    QPushButton* btnSaveDossier = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnExportCsv = nullptr;

    analysis::ZoneSettings zoneSettings_;
    // The report of the measured pass, as built; empty until there is one.
    std::string reportText_;
    // The date and time the report gives as the time of measurement.
    text::CivilDateTime reportTime_;
};

}  // namespace quillon::screens
