// The Results screen's record dossier: the zone table beside the graph, its settings, the PDF,
// printing and the samples as CSV. The report, the logs and saved reports are untouched.

#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>

#include "analysis/samples_csv.h"
#include "dossier/dossier_pages.h"
#include "screens/results/deviation_graph.h"
#include "screens/results/results_screen.h"
#include "screens/results/zone_settings_dialog.h"
#include "text/number_text.h"
#include "text/text_file.h"
#include "text/text_value.h"

namespace quillon::screens {

namespace {

const QString application = QStringLiteral("Quillon");
const QString section = QStringLiteral("Dossier");

QString metres3(double value) {
    return QString::fromStdString(text::format_pattern(value, "0.000"));
}

}  // namespace

void ResultsScreen::loadZoneSettings() {
    const auto& store = platform_.settings;
    const analysis::ZoneSettings defaults;
    analysis::ZoneSettings read;
    read.zoneLength = text::text_value(
        store.read(application, section, "ZoneLength", QString::number(defaults.zoneLength))
            .toStdString());
    read.limit = text::text_value(
        store.read(application, section, "Limit", QString::number(defaults.limit)).toStdString());
    read.buoy1Side = store.read(application, section, "Buoy1Side", "right") == "left"
                         ? analysis::BoatSide::Left
                         : analysis::BoatSide::Right;
    // A setting edited by hand out of range falls back to the defaults.
    try {
        analysis::require_zone_settings(read);
        zoneSettings_ = read;
    } catch (const std::invalid_argument&) {
        zoneSettings_ = defaults;
    }
}

void ResultsScreen::saveZoneSettings() {
    auto& store = platform_.settings;
    store.write(application, section, "ZoneLength", QString::number(zoneSettings_.zoneLength));
    store.write(application, section, "Limit", QString::number(zoneSettings_.limit));
    store.write(application, section, "Buoy1Side",
                QString::fromLatin1(analysis::side_name(zoneSettings_.buoy1Side).data()));
}

void ResultsScreen::showZones() {
    tblZones->setRowCount(0);
    if (reportText_.empty()) {
        return;
    }
    const auto pass = session_.measuredPass;
    const auto zones =
        analysis::zone_readings(session_.samples, session_.lastSampleIndex, session_.directionSign,
                                pass.discipline, zoneSettings_);
    tblZones->setRowCount(static_cast<int>(zones.size()));
    for (int row = 0; row < static_cast<int>(zones.size()); ++row) {
        const auto& zone = zones[static_cast<std::size_t>(row)];
        const QString cells[] = {
            QString::fromStdString(zone.name()), QString::number(zone.sampleCount),
            zone.sampleCount ? metres3(zone.meanReading) : QStringLiteral("-"),
            zone.sampleCount ? metres3(zone.largestReading) : QStringLiteral("-"),
            zone.overLimit ? QStringLiteral("OVER") : QStringLiteral("ok")};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (zone.overLimit) {
                item->setForeground(Qt::red);
            }
            tblZones->setItem(row, column, item);
        }
    }
}

void ResultsScreen::drawZoneTicks() {
    if (reportText_.empty()) {
        return;
    }
    const auto pass = session_.measuredPass;
    graph_->drawZoneTicks(
        pass.discipline, pass.direction,
        analysis::zone_readings(session_.samples, session_.lastSampleIndex, session_.directionSign,
                                pass.discipline, zoneSettings_));
}

void ResultsScreen::btnZoneSettings_Click() {
    auto* dialog = new ZoneSettingsDialog(zoneSettings_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        zoneSettings_ = dialog->settings();
        saveZoneSettings();
        showZones();
        drawZoneTicks();
    });
    dialog->open();
}

std::optional<dossier::DossierContent> ResultsScreen::dossierContent() {
    const auto pass = session_.measuredPass;
    std::optional<dossier::CalibrationFacts> calibration;
    if (session_.setupValid != 0) {
        calibration = dossier::calibration_facts(session_.calibration);
    }
    try {
        return dossier::dossier_content(reportText_, pass.discipline, pass.direction,
                                        session_.samples, session_.lastSampleIndex,
                                        session_.directionSign, session_.passStatistics,
                                        zoneSettings_, calibration);
    } catch (const std::exception& failure) {
        platform_.dialogs.message(
            QStringLiteral("The dossier cannot be made: %1").arg(failure.what()),
            platform::MessageStyle::Exclamation);
        return std::nullopt;
    }
}

std::optional<QString> ResultsScreen::askFileToSave(const QString& title, const QString& filter) {
    return platform_.dialogs.saveFile(
        {title, filter, 1,
         QString::fromStdString(screens_.selections().passDescription().resultsFolder)});
}

void ResultsScreen::btnSaveDossier_Click() {
    const auto content = dossierContent();
    if (!content) {
        return;
    }
    const auto path = askFileToSave("Save Dossier (PDF)", "PDF Files (*.pdf)|*.pdf|");
    if (!path) {
        return;
    }
    const auto written = dossier::write_dossier_pdf(path->toStdString(), *content);
    if (!written) {
        platform_.dialogs.message(
            QStringLiteral("The dossier could not be written: %1\n\nFile: \"%2\"")
                .arg(QString::fromStdString(written.description), *path),
            platform::MessageStyle::Exclamation);
    }
}

void ResultsScreen::btnPrint_Click() {
    const auto content = dossierContent();
    if (!content) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("Record Dossier");
    if (!platform_.dialogs.print(printer, "Print Dossier")) {
        return;
    }
    if (dossier::draw_dossier(printer, *content) == 0) {
        platform_.dialogs.message("The dossier could not be sent to the printer.",
                                  platform::MessageStyle::Exclamation);
    }
}

void ResultsScreen::btnExportCsv_Click() {
    const auto pass = session_.measuredPass;
    const auto path = askFileToSave("Export Samples (CSV)", "CSV Files (*.csv)|*.csv|");
    if (!path) {
        return;
    }
    const auto written = text::replace_file(
        path->toStdString(), analysis::samples_csv(session_.samples, session_.lastSampleIndex,
                                                   pass.discipline, session_.sampleProvenance));
    if (!written) {
        platform_.dialogs.message(
            QStringLiteral("The samples could not be written: %1\n\nFile: \"%2\"")
                .arg(QString::fromStdString(written.description), *path),
            platform::MessageStyle::Exclamation);
    }
}

}  // namespace quillon::screens
