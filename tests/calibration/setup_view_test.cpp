#include "calibration/setup_view.h"

#include <gtest/gtest.h>

#include <random>

#include "calibration/calibration.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"
#include "text/sha256.h"
#include "text/text_file.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;

namespace {

// A 1920 x 1080 video fitted to a surface as the screens fit it: its width or its height fills
// the surface, in whole pixels, centred.
PictureFit fit(int surfaceWidth, int surfaceHeight, int width = 1920, int height = 1080) {
    int shownWidth = surfaceHeight * width / height;
    int shownHeight = surfaceHeight;
    if (shownWidth > surfaceWidth) {
        shownWidth = surfaceWidth;
        shownHeight = surfaceWidth * height / width;
    }
    return {width,
            height,
            static_cast<double>((surfaceWidth - shownWidth) / 2),
            static_cast<double>((surfaceHeight - shownHeight) / 2),
            static_cast<double>(shownWidth),
            static_cast<double>(shownHeight)};
}

SetupView view_on(int w, int h, std::optional<PictureFit> picture) {
    return {w, h, picture, std::string(64, 'a')};
}

// The perspective course marked and solved on the surface `view` describes.
SetupFileData solved_setup() {
    CameraModel model = perspective_slalom();
    solve_grid(model);
    return setup_file_data(model, "/data/north.ipt", "North lake", 1);
}

CameraModel model_of(const SetupFileData& data) {
    CameraModel model;
    model.set_coefficients(data.coefficients);
    return model;
}

// Surface twips of a point of the video, in video pixels.
PlanePoint twips_of(const PictureFit& f, double x, double y) {
    return {15 * (f.left + x * f.shownWidth / f.width),
            15 * (f.top + y * f.shownHeight / f.height)};
}

// Video pixels of a point of the surface, in twips.
PlanePoint video_of(const PictureFit& f, double xTwips, double yTwips) {
    return {(xTwips / 15 - f.left) * f.width / f.shownWidth,
            (yTwips / 15 - f.top) * f.height / f.shownHeight};
}

}  // namespace

TEST(SetupView, TextRoundTripsAndAnythingElseIsRefused) {
    const SetupView withPicture{1920, 980, fit(1920, 980), std::string(64, 'f')};
    const SetupView bare{1366, 668, std::nullopt, std::string(64, '0')};
    for (const SetupView& view : {withPicture, bare}) {
        EXPECT_EQ(parse_setup_view(setup_view_text(view)), view);
    }
    EXPECT_EQ(setup_view_text(bare),
              "Quillon setup view 1\r\nsurface 1366 668\r\npicture none\r\n"
              "ipt-sha256 " +
                  std::string(64, '0') + "\r\n");
    const std::string hash = "ipt-sha256 " + std::string(64, 'a');
    for (const std::string& bad : std::vector<std::string>{
             std::string(),
             "Quillon setup view 2\nsurface 10 10\npicture none\n" + hash,
             "Quillon setup view 1\nsurface 10\npicture none\n" + hash,
             "Quillon setup view 1\nsurface 0 10\npicture none\n" + hash,
             "Quillon setup view 1\nsurface 10 10\npicture 5 5 0 0 0\n" + hash,
             "Quillon setup view 1\nsurface 10 10\npicture 5 5 0 0 nan\n" + hash,
             "Quillon setup view 1\nsurface 10 10\npicture 5 5 0,5 0 1\n" + hash,
             "Quillon setup view 1\nsurface 10 10\npicture none\nipt-sha256 " +
                 std::string(63, 'a'),
             "Quillon setup view 1\nsurface 10 10\npicture none\nipt-sha256 " +
                 std::string(64, 'A'),
             "Quillon setup view 1\nsurface 10 10\npicture none\n",
         }) {
        EXPECT_FALSE(parse_setup_view(bad).has_value()) << bad;
    }
}

// A setup marked over a video on one display, moved onto another: each mark lands on the same
// video pixel, and every point of the picture maps to the survey point it mapped to before,
// with the coefficients carried over (no solve).
TEST(SetupView, ASetupMovedToAnotherDisplayKeepsItsVideoPixelsAndItsSurvey) {
    const SetupView saved = view_on(1920, 980, fit(1920, 980));
    const SetupFileData original = solved_setup();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> across(0, 1920), down(0, 1080);
    for (const auto& [w, h] : {std::pair{1366, 668}, std::pair{1024, 668}, std::pair{2560, 1340},
                               std::pair{1920, 980}}) {
        const SetupView now = view_on(w, h, fit(w, h));
        const auto change = surface_change(saved, now);
        ASSERT_TRUE(change.has_value()) << w;
        SetupFileData moved = original;
        apply_surface_change(moved, *change);
        const CameraModel before = model_of(original);
        const CameraModel after = model_of(moved);
        for (std::size_t i = 0; i < moved.points.size(); ++i) {
            const PlanePoint was =
                video_of(*saved.picture, original.points[i].screen_x, original.points[i].screen_y);
            const PlanePoint is =
                video_of(*now.picture, moved.points[i].screen_x, moved.points[i].screen_y);
            EXPECT_NEAR(is.x, was.x, 1e-9);
            EXPECT_NEAR(is.y, was.y, 1e-9);
        }
        for (int k = 0; k < 200; ++k) {
            const double x = across(random), y = down(random);
            const PlanePoint a =
                CameraModel(before).screen_to_survey(twips_of(*saved.picture, x, y));
            const PlanePoint b = CameraModel(after).screen_to_survey(twips_of(*now.picture, x, y));
            EXPECT_TRUE(close(a.x, b.x, 1e-9)) << w << " at " << x << "," << y;
            EXPECT_TRUE(close(a.y, b.y, 1e-9)) << w << " at " << x << "," << y;
        }
        if (w == 1920) {
            EXPECT_TRUE(change->identity());
            EXPECT_EQ(moved, original);  // to the bit
        }
    }
}

TEST(SetupView, NothingLinesUpWithoutThePictureOrWithAnotherOne) {
    const SetupView saved = view_on(1920, 980, fit(1920, 980));
    EXPECT_FALSE(surface_change(saved, view_on(1366, 668, std::nullopt)));
    EXPECT_FALSE(
        surface_change(view_on(1920, 980, std::nullopt), view_on(1366, 668, fit(1366, 668))));
    // A 4:3 picture is not the 16:9 video the marks were made over; the same video at 720p is.
    EXPECT_FALSE(surface_change(saved, view_on(1366, 668, fit(1366, 668, 1024, 768))));
    EXPECT_TRUE(surface_change(saved, view_on(1366, 668, fit(1366, 668, 1280, 720))));
}

TEST(SetupView, LoadUsesTheViewOnlyWhenItBelongsToTheFile) {
    quillon::test_support::TempFolder folder;
    const std::string path = folder.file("north.ipt");
    const SetupFileData original = solved_setup();
    ASSERT_FALSE(write_setup_file(path, original));
    const SetupView now = view_on(1366, 668, fit(1366, 668));

    // No view file: a classic setup, as it stands.
    ViewedSetupRead read = read_setup_for_view(path, now);
    ASSERT_TRUE(read.read.data);
    const SetupFileData asWritten = *read_setup_file(path).data;
    EXPECT_EQ(*read.read.data, asWritten);
    EXPECT_FALSE(read.note);
    EXPECT_FALSE(read.saved);

    ASSERT_FALSE(write_setup_view(path, view_on(1920, 980, fit(1920, 980))));
    const auto written = quillon::text::read_file(setup_view_path(path));
    ASSERT_TRUE(written.status);
    ASSERT_TRUE(parse_setup_view(written.bytes));
    EXPECT_EQ(parse_setup_view(written.bytes)->iptSha256,
              quillon::text::sha256_hex(quillon::text::read_file(path).bytes));
    read = read_setup_for_view(path, now);
    ASSERT_TRUE(read.read.data && read.saved);
    EXPECT_FALSE(read.note);
    EXPECT_NE(read.read.data->points[0].screen_x, asWritten.points[0].screen_x);

    // The setup file changed since: the view is ignored, and the operator told.
    SetupFileData edited = original;
    edited.description = "North lake again";
    ASSERT_FALSE(write_setup_file(path, edited));
    const SetupFileData editedAsWritten = *read_setup_file(path).data;
    read = read_setup_for_view(path, now);
    ASSERT_TRUE(read.read.data && read.note);
    EXPECT_EQ(*read.read.data, editedAsWritten);
    EXPECT_NE(read.note->text.find("another version of \"north.ipt\""), std::string::npos)
        << read.note->text;

    // Not a view file at all.
    ASSERT_TRUE(quillon::text::replace_file(setup_view_path(path), "surface 1 1\r\n"));
    read = read_setup_for_view(path, now);
    ASSERT_TRUE(read.read.data && read.note);
    EXPECT_EQ(*read.read.data, editedAsWritten);
    EXPECT_NE(read.note->text.find("is not a setup view file"), std::string::npos);
}
