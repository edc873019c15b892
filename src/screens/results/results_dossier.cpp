// The Results screen's record dossier: the zone table beside the graph, its settings, the PDF,
// printing and the samples as CSV. The report, the logs and saved reports are untouched.

#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>

#include "analysis/samples_csv.h"
#include "dossier/dossier_pages.h"
#include "screens/results/deviation_graph.h"
#include "screens/results/results_screen.h"
#include "screens/results/zone_settings_dialog.h"
#include "screens/widgets/drawing_surface.h"
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
        const bool any = zone.sampleCount > 0;
        const QString cells[] = {
            QString::fromStdString(zone.name()),
            zone.hasBuoySide() ? QString::fromLatin1(analysis::side_name(zone.buoySide).data())
                               : QStringLiteral("both"),
            QString::number(zone.sampleCount),
            any ? metres3(zone.meanReading) : QStringLiteral("-"),
            any ? metres3(zone.largestReading) : QStringLiteral("-"),
            any ? metres3(zone.largestOffCentre) + " " +
                      QString::fromLatin1(analysis::side_name(zone.offCentreSide).data())
                : QStringLiteral("-"),
            zone.overLimit ? QStringLiteral("OVER") : QStringLiteral("ok")};
        for (int column = 0; column < 7; ++column) {
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
    // The cells may need wider columns than the headers alone.
    placeDossier();
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
        if (!reportText_.empty()) {
            graph_->showZoneSettings(session_.measuredPass.discipline, zoneSettings_);
        }
    });
    dialog->open();
}

std::optional<dossier::DossierContent> ResultsScreen::dossierContent() {
    const auto pass = session_.measuredPass;
    // The pass's video, when it was timed on one and that video is still the one open.
    const auto clockVideo = dossier::clock_line_video(session_.passClockLine);
    const QString openVideo = platform_.video.name();
    const bool videoOpen = clockVideo &&
                           platform_.video.kind() == platform::VideoSource::Kind::File &&
                           QFileInfo(openVideo).fileName().toStdString() == clockVideo->fileName;
    std::optional<dossier::CalibrationFacts> calibration;
    if (session_.setupValid != 0) {
        // The video's pixel where the video rectangle is known: the video fitted to the drawing
        // surface, as the Measure screen showed it. Else the screen pixel of the accuracy check,
        // and the screen's width for the gate ratios.
        dossier::PixelBasis pixel;
        const double widthPx = text::text_value(session_.screenWidthPx);
        if (widthPx > 0) {
            pixel.widthPx = widthPx;
        }
        const QImage& frame = platform_.video.frame().image;
        if (videoOpen && !frame.isNull()) {
            const QSize shown =
                frame.size().scaled(drawing_surface_size(session_), Qt::KeepAspectRatio);
            pixel = {15.0 * shown.width() / frame.width(), static_cast<double>(frame.width()),
                     true};
        }
        calibration = dossier::calibration_facts(session_.calibration, pixel);
    }
    try {
        auto content =
            dossier::dossier_content(reportText_, pass.discipline, pass.direction, session_.samples,
                                     session_.lastSampleIndex, session_.directionSign,
                                     session_.passStatistics, zoneSettings_, calibration);
        dossier::PassFacts& facts = content.facts;
        facts.speed = session_.passSpeedText;
        facts.split = txtSplit->text().toStdString();
        facts.full = txtFull->text().toStdString();
        facts.comment = txtComment->text().toStdString();
        facts.boatModel = pass.boatModel;
        facts.boatNumber = pass.boatNumber;
        facts.measuredAt = reportTime_;
        facts.provenance.assign(session_.sampleProvenance.begin(),
                                session_.sampleProvenance.begin() + session_.lastSampleIndex + 1);
        if (clockVideo) {
            // The video the pass was measured on (the replayed file or a live pass's
            // recording), hashed from where it is; the time of the frame sample 0 was taken on.
            const std::optional<double> sample0 =
                session_.passSample0FrameUs >= 0
                    ? std::optional<double>(static_cast<double>(session_.passSample0FrameUs) / 1e6)
                    : clockVideo->sample0Seconds;
            facts.video =
                !session_.passVideoPath.empty()
                    ? dossier::video_facts(session_.passVideoPath, sample0)
                    : dossier::VideoFacts{
                          clockVideo->fileName, {}, "the pass's video is not known", sample0};
        }
        return content;
    } catch (const std::exception& failure) {
        platform_.dialogs.message(
            QStringLiteral("The dossier cannot be made: %1").arg(failure.what()),
            platform::MessageStyle::Exclamation);
        return std::nullopt;
    }
}

namespace {

QString two_digits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// "<Skier>_<yyyy-mm-dd>_<hh-mm>": characters that cannot stand in a file name on any of the
// program's systems become "-".
QString proposed_name(const std::string& skier, const text::CivilDateTime& when) {
    QString name = QString::fromStdString(skier).trimmed();
    for (QChar& c : name) {
        if (c < QChar(' ') || QStringLiteral("/\\:*?\"<>|").contains(c)) {
            c = QLatin1Char('-');
        }
    }
    if (name.isEmpty()) {
        name = QStringLiteral("Pass");
    }
    return QStringLiteral("%1_%2-%3-%4_%5-%6")
        .arg(name, QString::number(when.year), two_digits(when.month), two_digits(when.day),
             two_digits(when.hour), two_digits(when.minute));
}

}  // namespace

std::optional<QString> ResultsScreen::askFileToSave(const QString& title, const QString& filter,
                                                    const QString& extension) {
    // A start folder naming a file proposes that file in the folder.
    const QString folder =
        QString::fromStdString(screens_.selections().passDescription().resultsFolder);
    const QString proposed = proposed_name(session_.measuredPass.skier, reportTime_) + extension;
    const platform::FileDialogRequest request{
        title, filter, 1, folder.isEmpty() ? proposed : folder + "/" + proposed};
    auto path = platform_.dialogs.saveFile(request);
    if (path && QFileInfo(*path).suffix().compare(extension.mid(1), Qt::CaseInsensitive) != 0) {
        *path += extension;
    }
    return path;
}

void ResultsScreen::btnSaveDossier_Click() {
    const auto content = dossierContent();
    if (!content) {
        return;
    }
    const auto path = askFileToSave("Save Dossier (PDF)", "PDF Files (*.pdf)|*.pdf|", ".pdf");
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
    // Printing to a PDF file is a file write like any other: drawn in memory on the dialog's
    // paper, then put in place whole, so a full disk leaves no broken file and is reported.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QString path = printer.outputFileName();
        const auto written =
            dossier::write_dossier_pdf(path.toStdString(), *content, printer.pageLayout());
        if (!written) {
            platform_.dialogs.message(
                QStringLiteral("The dossier could not be printed to the file: %1\n\nFile: \"%2\"")
                    .arg(QString::fromStdString(written.description), path),
                platform::MessageStyle::Exclamation);
        }
        return;
    }
    if (dossier::draw_dossier(printer, *content) == 0 ||
        printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        platform_.dialogs.message("The dossier could not be sent to the printer.",
                                  platform::MessageStyle::Exclamation);
    }
}

void ResultsScreen::btnExportCsv_Click() {
    const auto pass = session_.measuredPass;
    const auto path = askFileToSave("Export Samples (CSV)", "CSV Files (*.csv)|*.csv|", ".csv");
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
