#pragma once

#include <span>
#include <string>

#include "analysis/pass_analysis.h"
#include "analysis/pass_figures.h"
#include "analysis/pass_statistics.h"
#include "course/pass_description.h"
#include "text/date_time.h"
#include "text/text_file.h"

namespace quillon::analysis {

// Left/centre/right threshold of the report's shares, metres.
inline constexpr double slalomShareThreshold = 0.12;
inline constexpr double jumpShareThreshold = 0.24;

// Everything the report of one measured pass is built from.
struct PassReportInput {
    course::PassDescription pass;
    // The pass's samples; entries 0 to lastSampleIndex are used.
    std::span<const double> samples;
    int lastSampleIndex = 0;
    // The Measure screen's end-of-pass figures.
    PassFigures figures;
    double directionSign = -1.0;
    // The Measure screen's speed and line captions (lblSpeed "58", lblLine "11.25" / " 9.75").
    std::string speedText;
    std::string lineText;
    // The Results screen's split time, full time and comment, as typed.
    std::string split;
    std::string full;
    std::string comment;
    text::CivilDateTime now;
    // Which clock timed the samples, when a recorded video was open during the pass; empty
    // otherwise, and the report then has no such line.
    std::string clockLine;
};

// One file the report appends to, and how that went.
struct LogWrite {
    std::string path;
    text::FileStatus status;
};

// The built report. The statistics are those of the analysis, with the left/centre/right
// counts replaced by the report's percentages.
struct PassReport {
    // The report's lines, each ended by CR LF, the last sample line too.
    std::string text;
    // The database record: 22 fields joined by "|", without its line end.
    std::string record;
    PassStatistics statistics;
    LogWrite summaryFile;  // originalmeasurements.txt
    LogWrite resultLog;    // ResultLog mmdd .txt
    LogWrite databaseLog;  // dbResultLog mmdd .txt

    bool allWritten() const {
        return summaryFile.status.ok && resultLog.status.ok && databaseLog.status.ok;
    }
};

// "ResultLog1206.txt" and "dbResultLog1206.txt": one of each per calendar day.
std::string result_log_name(const text::CivilDateTime& when);
std::string database_log_name(const text::CivilDateTime& when);

// Left and right shares of the report in whole per cent, centre the remainder to 100.
struct ReportShares {
    int left = 0;
    int center = 0;
    int right = 0;
};
ReportShares report_shares(std::span<const double> samples, int lastSampleIndex,
                           double directionSign, course::Discipline discipline);

// The report text, the database record and the statistics with their percentages, from the
// analysed statistics; writes nothing.
struct ComposedReport {
    std::string text;
    std::string record;
    PassStatistics statistics;
};
ComposedReport compose_pass_report(const PassReportInput& input, const PassStatistics& analysed);

// Builds the report of a measured pass: runs the analysis (which appends its block to
// originalmeasurements.txt), composes the report and the database record, then appends the
// report + CR LF to the day's ResultLog and the record + CR LF to the day's dbResultLog, each
// in one write. A failed write does not stop the others; each file reports its own status.
// Throws std::invalid_argument for a pass of fewer than ten samples or samples shorter than
// lastSampleIndex + 1.
PassReport build_pass_report(const PassReportInput& input);

}  // namespace quillon::analysis
