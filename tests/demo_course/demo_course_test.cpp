#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "calibration/camera_model.h"
#include "calibration/grid_check.h"
#include "calibration/setup_file.h"
#include "support/temp_folder.h"
#include "text/number_text.h"
#include "text/text_file.h"
#include "tools/demo_course/demo_course.h"

namespace {

using quillon::calibration::CameraModel;
using quillon::calibration::PlanePoint;
namespace demo = quillon::demo_course;

const std::string dataFolder = QUILLON_DATA_DIR;

std::string data_file(const std::string& name) {
    return quillon::text::path_in_folder(dataFolder, name);
}

// The buoys are painted orange to yellow; the water, its ripples and its shadows are blue.
bool buoy_coloured(QRgb c) {
    return qRed(c) >= 180 && qGreen(c) >= 60 && qBlue(c) <= 120 && qRed(c) - qBlue(c) >= 100;
}
bool water_coloured(QRgb c) {
    return qBlue(c) > qRed(c);
}

std::string colour_text(QRgb c) {
    return QColor(c).name().toStdString();
}

CameraModel model_from(const std::string& setupFile) {
    quillon::calibration::Calibration calibration;
    const auto loaded = quillon::calibration::load_setup_file(calibration, setupFile);
    EXPECT_TRUE(loaded.display.has_value()) << setupFile;
    return calibration.model;
}

QImage picture_from(const std::string& path) {
    QImage image(QString::fromStdString(path));
    EXPECT_FALSE(image.isNull()) << path;
    return image;
}

// The picture's pixel under a survey position, as the Setup screen shows the picture from its
// top-left corner at 15 twips to the pixel.
struct Probe {
    bool inside = false;
    QRgb colour = 0;
    int column = 0;
    int row = 0;
};

Probe probe(CameraModel& model, const QImage& image, PlanePoint survey) {
    const PlanePoint screen = model.survey_to_screen(survey);
    Probe p;
    p.column = static_cast<int>(std::floor(screen.x / demo::twipsPerPixel));
    p.row = static_cast<int>(std::floor(screen.y / demo::twipsPerPixel));
    p.inside = image.valid(p.column, p.row);
    if (p.inside) {
        p.colour = image.pixel(p.column, p.row);
    }
    return p;
}

struct PaintedCourse {
    std::string name;
    std::string setupFile;
    std::string picture;
    double pathCentreX;
    std::vector<PlanePoint> buoys;
};

std::vector<PlanePoint> slalom_guide_and_gate_buoys() {
    std::vector<PlanePoint> buoys;
    // The boat-guide positions the Setup screen's "Show Course" crosses mark.
    for (double x : {0.1, 2.4}) {
        for (double y = -27; y >= -232; y -= 41) {
            buoys.push_back({x, y});
        }
    }
    for (PlanePoint gate : {PlanePoint{2.5, 0}, {0, 0}, {2.5, -259}, {0, -259}}) {
        buoys.push_back(gate);
    }
    return buoys;
}

TEST(DemoCourseData, EveryMappedBuoyLandsOnPaintAndThreeMetresAcrossOnWater) {
    const std::vector<PaintedCourse> courses{
        {"slalom", data_file("SlalomOK.ipt"), data_file("SlalomOK.bmp"), 1.25,
         slalom_guide_and_gate_buoys()},
        {"jump",
         data_file("JumpOK.ipt"),
         data_file("JumpOK.bmp"),
         2,
         {{4, 0}, {0, 0}, {4, -280}, {0, -280}}},
    };
    for (const PaintedCourse& course : courses) {
        SCOPED_TRACE(course.name);
        CameraModel model = model_from(course.setupFile);
        const QImage image = picture_from(course.picture);
        ASSERT_EQ(image.width(), demo::pictureWidthPx);
        ASSERT_EQ(image.height(), demo::pictureHeightPx);
        for (PlanePoint buoy : course.buoys) {
            SCOPED_TRACE(std::to_string(buoy.x) + ", " + std::to_string(buoy.y));
            const Probe on = probe(model, image, buoy);
            ASSERT_TRUE(on.inside) << "pixel " << on.column << ", " << on.row;
            EXPECT_TRUE(buoy_coloured(on.colour))
                << colour_text(on.colour) << " at pixel " << on.column << ", " << on.row;

            // 3 m across the course, past the buoy line on the other side.
            const double across = buoy.x < course.pathCentreX ? 3.0 : -3.0;
            const Probe off = probe(model, image, {buoy.x + across, buoy.y});
            ASSERT_TRUE(off.inside) << "pixel " << off.column << ", " << off.row;
            EXPECT_TRUE(water_coloured(off.colour))
                << colour_text(off.colour) << " at pixel " << off.column << ", " << off.row;
        }
    }
}

TEST(DemoCourseData, SetupFilesLoadWithoutTheBackRatioWarningOnTheirScreen) {
    for (const std::string name : {"SlalomOK.ipt", "JumpOK.ipt"}) {
        SCOPED_TRACE(name);
        CameraModel model = model_from(data_file(name));
        const auto box = [&model](std::size_t i) {
            return quillon::text::number_text(model.screen_x[i]);
        };
        const auto warning =
            quillon::calibration::grid_check(model, box(3), box(1), box(4), box(2),
                                             quillon::text::number_text(demo::pictureWidthPx));
        EXPECT_FALSE(warning.has_value()) << warning->text;
        EXPECT_GT(model.front_ratio, model.back_ratio);
    }
}

// The share of pixels that differ visibly between two pictures of the same size.
double changed_share(const QImage& a, const QImage& b) {
    long changed = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column) {
            const QRgb u = a.pixel(column, row);
            const QRgb v = b.pixel(column, row);
            if (std::abs(qRed(u) - qRed(v)) > 24 || std::abs(qGreen(u) - qGreen(v)) > 24 ||
                std::abs(qBlue(u) - qBlue(v)) > 24) {
                ++changed;
            }
        }
    }
    return static_cast<double>(changed) / (static_cast<double>(a.width()) * a.height());
}

TEST(DemoCourseData, CommittedFilesAreWhatTheGeneratorWritesNow) {
    const quillon::test_support::TempFolder folder;
    const auto problem = demo::write_demo_files(folder.str());
    ASSERT_FALSE(problem.has_value()) << *problem;
    for (const std::string stem : {"SlalomOK", "JumpOK"}) {
        SCOPED_TRACE(stem);
        const auto committed = quillon::text::read_file(data_file(stem + ".ipt"));
        const auto fresh = quillon::text::read_file(folder.file(stem + ".ipt"));
        ASSERT_TRUE(committed.status.ok) << committed.status.description;
        ASSERT_TRUE(fresh.status.ok) << fresh.status.description;
        EXPECT_EQ(committed.bytes, fresh.bytes) << "regenerate data/ with quillon-demo-course";
        const auto committedView = quillon::text::read_file(data_file(stem + ".ipt.view"));
        const auto freshView = quillon::text::read_file(folder.file(stem + ".ipt.view"));
        ASSERT_TRUE(committedView.status.ok) << committedView.status.description;
        EXPECT_EQ(committedView.bytes, freshView.bytes)
            << "regenerate data/ with quillon-demo-course";

        // The pictures may differ by a rasteriser's rounding between Qt versions, not by a
        // changed scene.
        const QImage committedPicture = picture_from(data_file(stem + ".bmp"));
        const QImage freshPicture = picture_from(folder.file(stem + ".bmp"));
        ASSERT_EQ(committedPicture.size(), freshPicture.size());
        EXPECT_LT(changed_share(committedPicture, freshPicture), 0.005)
            << "regenerate data/ with quillon-demo-course";
    }
}

}  // namespace
