#include "tools/demo_course/truth_pass.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "course/reference_course.h"
#include "session/pass_recorder.h"
#include "session/video_time.h"
#include "tools/demo_course/demo_course.h"

namespace quillon::demo_course {

namespace {

using course::Direction;
using course::Discipline;
constexpr double pi = std::numbers::pi;

// The line lengths of the options, longest first, as the LineLength enum orders them.
constexpr std::array<double, 10> lineMetres{18.25, 16,    14.25, 13,   12,
                                            11.25, 10.75, 10.25, 9.75, 9.25};

// A pinhole camera looking down the course (toward larger survey y), pitched down, without
// roll or yaw. Survey x grows to the left of the picture, as on the demo course. Picture
// coordinates are QPainter's: the centre of pixel i is at i + 0.5.
struct Camera {
    double x = 0, y = 0, z = 0;
    double cosPitch = 1, sinPitch = 0;
    double focal = 1000;
    double u0 = 0, v0 = 0;

    // Nothing (false) for a point too close to or behind the camera.
    bool project(double px, double py, double pz, QPointF& out) const {
        const double vx = px - x, vy = py - y, vz = pz - z;
        const double forward = vy * cosPitch - vz * sinPitch;
        const double down = -vy * sinPitch - vz * cosPitch;
        if (forward < 1) {
            return false;
        }
        out = {u0 - focal * vx / forward, v0 + focal * down / forward};
        return true;
    }
    double distance(double px, double py, double pz) const {
        return std::hypot(px - x, py - y, pz - z);
    }
};

struct Weave {
    double amplitude = 0, wavelength = 1, phase = 0;
};

QColor shade(const QColor& c, double f) {
    auto ch = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()), c.alpha());
}

// Something drawn in depth order: farther objects first (the boat, the skier, each drop of
// spray), and within an object its farther parts first.
struct Part {
    double object = 0;
    double depth = 0;
    QPolygonF polygon;
    QColor colour;
};

}  // namespace

struct TruthPass::Impl {
    TruthPassOptions o;
    Camera camera;
    double centreX = course::slalomPathCentreX;
    double courseEndY = course::nearGateY;  // the end of the course nearest the camera
    double courseLength = course::course_length(Discipline::Slalom);
    double speedMs = 0;
    double forward = -1;  // survey y per metre travelled
    double startY = 0;
    double rope = 13;
    std::array<Weave, 2> weave;
    double shakePhase[4] = {};
    QImage background;
    int lastSample = 0;

    double travelled(double t) const { return speedMs * (1 + o.speedError) * (t - o.leadSeconds); }

    TruthBoat boat(double t) const {
        const double s = travelled(t);
        double x = centreX;
        for (const Weave& w : weave) {
            x += w.amplitude * std::sin(2 * pi * s / w.wavelength + w.phase);
        }
        return {x, startY + forward * s};
    }

    // Boat coordinates (a forward, l to the boat's left... across, z up) to survey.
    QPointF boat_point(const TruthBoat& b, double a, double l, double z, bool& ok) const {
        QPointF p;
        ok = camera.project(b.x + l, b.y + forward * a, z, p);
        return p;
    }

    // The skier's lateral position (survey x) when the boat has travelled s metres.
    double skier_x(double s) const {
        const double behind = s - 0.85 * rope;
        if (o.pass.discipline == Discipline::Slalom) {
            return centreX + std::min(0.8 * rope, 10.5) * std::cos(pi * (behind - 27) / 41);
        }
        return centreX - 4 + 6 * std::sin(2 * pi * behind / 140);
    }

    void paint_background();
    void paint_wake(QPainter& p, const TruthBoat& b) const;
    void boat_parts(const TruthBoat& b, std::vector<Part>& parts) const;
    void skier_parts(double t, int index, std::vector<Part>& parts) const;
};

TruthPass::TruthPass(const TruthPassOptions& options) : options_(options) {
    auto impl = std::make_shared<Impl>();
    Impl& m = *impl;
    m.o = options;
    const bool slalom = options.pass.discipline == Discipline::Slalom;
    m.centreX = course::measured_path_centre_x(options.pass.discipline);
    m.courseLength = course::course_length(options.pass.discipline);
    m.courseEndY = -m.courseLength;
    m.speedMs = course::speed_kmh(options.pass) / 3.6;
    // The pass recorder counts both directions from the far gate to the near gate.
    m.forward = options.pass.direction == Direction::Towards ? -1 : 1;
    m.startY = course::pass_start_y(options.pass.direction);
    m.rope = slalom ? lineMetres[static_cast<std::size_t>(options.pass.lineLength)] + 1.5 : 23;
    m.lastSample = course::last_sample_index(options.pass);

    std::mt19937 random(options.seed);
    std::uniform_real_distribution<double> unit(0, 1);
    m.weave[0] = {0.1 + 0.1 * unit(random), 80 + 70 * unit(random), 2 * pi * unit(random)};
    m.weave[1] = {0.02 + 0.04 * unit(random), 25 + 20 * unit(random), 2 * pi * unit(random)};
    for (double& phase : m.shakePhase) {
        phase = 2 * pi * unit(random);
    }

    // The camera: behind the near gate on the course line, pitched so that the picture holds
    // the boat from the far gate to the near gate, the skier's spray at the far gate above it.
    Camera& c = m.camera;
    c.x = m.centreX + options.cameraOffset;
    c.y = m.courseEndY - options.cameraBehindGate;
    c.z = options.cameraHeight;
    const double far = m.courseLength + options.cameraBehindGate;
    const double top = std::atan((options.cameraHeight - 3.0) / far);
    const double bottom = std::atan(options.cameraHeight / (options.cameraBehindGate - 4.5));
    const double pitch = (top + bottom) / 2;
    c.cosPitch = std::cos(pitch);
    c.sinPitch = std::sin(pitch);
    c.focal = (options.height / 2.0) / std::tan((bottom - top) / 2);
    c.u0 = options.width / 2.0;
    c.v0 = options.height / 2.0;
    impl_ = impl;
    impl->paint_background();
}

void TruthPass::Impl::paint_background() {
    background = QImage(o.width, o.height, QImage::Format_RGB32);
    QPainter p(&background);
    p.setRenderHint(QPainter::Antialiasing);
    const double horizon = camera.v0 - camera.focal * camera.sinPitch / camera.cosPitch;
    const double shoreY = 150;
    QPointF shore;
    camera.project(centreX, shoreY, 0, shore);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(150, 185, 220));
    sky.setColorAt(1, QColor(210, 222, 232));
    p.fillRect(QRectF(0, 0, o.width, shore.y() + 1), sky);
    QLinearGradient water(0, shore.y(), 0, o.height);
    water.setColorAt(0, QColor(120, 140, 150));
    water.setColorAt(1, QColor(40, 78, 98));
    p.fillRect(QRectF(0, shore.y(), o.width, o.height - shore.y()), water);

    // The far bank: trees along the shore.
    std::mt19937 random(o.seed * 7 + 3);
    std::uniform_real_distribution<double> unit(0, 1);
    QPolygonF trees;
    trees << QPointF(0, shore.y());
    for (double x = centreX + 90; x > centreX - 90; x -= 3) {
        QPointF top;
        camera.project(x, shoreY, 8 + 6 * unit(random), top);
        trees << top;
    }
    trees << QPointF(o.width, shore.y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 70, 44));
    p.drawPolygon(trees);

    // Ripples, each a short streak on the water, smaller with the distance.
    for (int k = 0; k < 4000; ++k) {
        const double y = camera.y + 8 + (shoreY - camera.y - 8) * std::pow(unit(random), 0.7);
        const double x = centreX + (unit(random) - 0.5) * 2 * (5 + 0.25 * (y - camera.y));
        QPointF a, b;
        const double half = 0.3 + 0.6 * unit(random);
        if (!camera.project(x - half, y, 0, a) || !camera.project(x + half, y, 0, b)) {
            continue;
        }
        const int light = unit(random) < 0.5 ? 255 : 0;
        p.setBrush(QColor(light, light, light, 28 + static_cast<int>(30 * unit(random))));
        QPointF beyond;
        camera.project(x - half, y + 0.4 * half, 0, beyond);
        const double thick = std::max(0.6, std::abs(beyond.y() - a.y()));
        p.drawEllipse(QRectF(a.x(), a.y() - thick / 2, b.x() - a.x(), thick));
    }

    // The buoys, farthest first.
    auto buoys = course_buoys(o.pass.discipline);
    std::sort(buoys.begin(), buoys.end(),
              [](const Buoy& a, const Buoy& b) { return a.survey.y > b.survey.y; });
    for (const Buoy& buoy : buoys) {
        const double radius = buoy.kind == BuoyKind::Guide ? 0.11 : 0.14;
        QPointF centre, edge;
        if (!camera.project(buoy.survey.x, buoy.survey.y, radius * 0.6, centre) ||
            !camera.project(buoy.survey.x + radius, buoy.survey.y, radius * 0.6, edge)) {
            continue;
        }
        const double r = std::max(0.7, std::abs(edge.x() - centre.x()));
        p.setBrush(buoy.kind == BuoyKind::Gate ? QColor(225, 60, 40) : QColor(240, 170, 30));
        p.drawEllipse(centre, r, r);
    }
}

void TruthPass::Impl::paint_wake(QPainter& p, const TruthBoat& b) const {
    p.setPen(Qt::NoPen);
    auto at = [&](double a, double l) {
        bool ok = false;
        const QPointF q = boat_point(b, a, l, 0, ok);
        return std::make_pair(q, ok);
    };
    // The white wash straight behind the stern, and the two arms of the wake.
    const double spread = std::tan(19.5 * pi / 180);
    std::vector<std::array<double, 4>> strips{{-3.2, -30, 0.5, 1.6}};
    for (int seg = 0; seg < 12; ++seg) {
        const double a0 = -3.2 - seg * 5, a1 = a0 - 5;
        for (const double side : {-1.0, 1.0}) {
            QPolygonF arm;
            bool all = true;
            for (const auto& [a, l] : std::array<std::pair<double, double>, 4>{
                     {{a0, side * (1.1 - spread * (a0 + 3.2))},
                      {a1, side * (1.1 - spread * (a1 + 3.2))},
                      {a1, side * (1.5 - spread * (a1 + 3.2))},
                      {a0, side * (1.4 - spread * (a0 + 3.2))}}}) {
                const auto [q, ok] = at(a, l);
                all = all && ok;
                arm << q;
            }
            if (all) {
                p.setBrush(QColor(225, 236, 242, std::max(20, 120 - seg * 8)));
                p.drawPolygon(arm);
            }
        }
    }
    for (int seg = 0; seg < 8; ++seg) {
        const double a0 = -3.2 - seg * 3.5, a1 = a0 - 3.5;
        const double w0 = 0.5 + seg * 0.15, w1 = w0 + 0.15;
        const auto [p0, ok0] = at(a0, -w0);
        const auto [p1, ok1] = at(a1, -w1);
        const auto [p2, ok2] = at(a1, w1);
        const auto [p3, ok3] = at(a0, w0);
        if (ok0 && ok1 && ok2 && ok3) {
            p.setBrush(QColor(235, 242, 246, std::max(30, 170 - seg * 18)));
            p.drawPolygon(QPolygonF({p0, p1, p2, p3}));
        }
    }
}

void TruthPass::Impl::boat_parts(const TruthBoat& b, std::vector<Part>& parts) const {
    const std::size_t first = parts.size();
    const bool towards = o.pass.direction == Direction::Towards;
    auto depth = [&](double a, double l, double z) {
        return camera.distance(b.x + l, b.y + forward * a, z);
    };
    auto polygon = [&](std::initializer_list<std::array<double, 3>> points, QPolygonF& out) {
        bool ok = true;
        for (const auto& q : points) {
            bool visible = false;
            out << boat_point(b, q[0], q[1], q[2], visible);
            ok = ok && visible;
        }
        return ok;
    };
    auto add = [&](double d, std::initializer_list<std::array<double, 3>> points, QColor colour) {
        Part part{0, d, {}, colour};
        if (polygon(points, part.polygon)) {
            parts.push_back(part);
        }
    };
    // The hull: a water line with a pointed bow and a deck 0.8 m up, a little wider.
    const std::array<std::array<double, 2>, 7> line{{{-3.2, -1.15},
                                                     {1.3, -1.15},
                                                     {2.6, -0.7},
                                                     {3.3, 0},
                                                     {2.6, 0.7},
                                                     {1.3, 1.15},
                                                     {-3.2, 1.15}}};
    const QColor hull(236, 236, 232);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto& p0 = line[i];
        const auto& p1 = line[(i + 1) % line.size()];
        const double side = std::abs(p1[1] + p0[1]) > 1.5 ? 0.75 : 0.95;
        const double d = depth((p0[0] + p1[0]) / 2, (p0[1] + p1[1]) / 2, 0.4) + 100;
        add(d,
            {{p0[0], p0[1], 0},
             {p1[0], p1[1], 0},
             {p1[0], p1[1] * 1.04, 0.8},
             {p0[0], p0[1] * 1.04, 0.8}},
            shade(hull, side));
        add(d - 0.01,
            {{p0[0], p0[1] * 1.02, 0.42},
             {p1[0], p1[1] * 1.02, 0.42},
             {p1[0], p1[1] * 1.03, 0.58},
             {p0[0], p0[1] * 1.03, 0.58}},
            QColor(30, 60, 140));
    }
    // Deck, cockpit and the parts standing on the deck, by their own depth.
    add(50 + depth(0, 0, 0.8),
        {{-3.2, -1.19, 0.8},
         {1.3, -1.19, 0.8},
         {2.6, -0.73, 0.8},
         {3.3, 0, 0.8},
         {2.6, 0.73, 0.8},
         {1.3, 1.19, 0.8},
         {-3.2, 1.19, 0.8}},
        QColor(244, 244, 238));
    add(49 + depth(0, 0, 0.8),
        {{-2.6, -0.9, 0.8}, {0.5, -0.9, 0.8}, {0.5, 0.9, 0.8}, {-2.6, 0.9, 0.8}},
        QColor(125, 112, 100));
    // The driver sits to one side, behind the windshield.
    add(depth(-0.2, 0.6, 1.2),
        {{-0.2, 0.48, 0.8}, {-0.2, 0.72, 0.8}, {-0.2, 0.72, 1.4}, {-0.2, 0.48, 1.4}},
        QColor(70, 50, 40));
    // The pylon, a silver post with a dark cap, on the centre line.
    const double pylonA = -0.4;
    add(depth(pylonA, 0, 1.3),
        {{pylonA, -0.045, 0.78},
         {pylonA, 0.045, 0.78},
         {pylonA, 0.045, 1.74},
         {pylonA, -0.045, 1.74}},
        QColor(208, 208, 214));
    add(depth(pylonA, 0, 1.3) - 0.01,
        {{pylonA, -0.08, 1.72}, {pylonA, 0.08, 1.72}, {pylonA, 0.08, 1.82}, {pylonA, -0.08, 1.82}},
        QColor(50, 50, 55));
    // The windshield, leaning back, with the red centre mark the operator follows.
    const double shieldDepth = depth(0.5, 0, 1.0);
    add(shieldDepth,
        {{0.62, -0.85, 0.8}, {0.62, 0.85, 0.8}, {0.38, 0.75, 1.25}, {0.38, -0.75, 1.25}},
        QColor(52, 72, 92));
    if (towards) {
        auto on = [](double z) { return 0.62 - (z - 0.8) / 0.45 * 0.24 + 0.01; };
        add(shieldDepth - 0.02,
            {{on(0.85), -0.06, 0.85},
             {on(0.85), 0.06, 0.85},
             {on(1.2), 0.06, 1.2},
             {on(1.2), -0.06, 1.2}},
            QColor(215, 35, 35));
    }
    const double object = camera.distance(b.x, b.y, 0.8);
    for (std::size_t i = first; i < parts.size(); ++i) {
        parts[i].object = object;
    }
}

void TruthPass::Impl::skier_parts(double t, int index, std::vector<Part>& parts) const {
    const double s = travelled(t);
    const TruthBoat b = boat(t);
    const double x = skier_x(s);
    const double lateral = x - b.x;
    const double behind = std::sqrt(std::max(1.0, rope * rope - lateral * lateral));
    const double y = b.y - forward * (behind + 0.4);
    const double dt = 0.05;
    const double speed = (skier_x(travelled(t + dt)) - skier_x(travelled(t - dt))) / (2 * dt);
    const double d = camera.distance(x, y, 1);
    auto project = [&](double px, double py, double pz) {
        QPointF q;
        camera.project(px, py, pz, q);
        return q;
    };
    if (camera.distance(x, y, 0) < 6 || (y - camera.y) < 6) {
        return;
    }
    // Rope from the pylon top to the handle.
    const QPointF pylonTop = project(b.x, b.y - forward * 0.4, 1.74);
    const QPointF handle = project(x, y + forward * 0.3, 1.0);
    const QPointF ropeSide = project(x + 0.015, y + forward * 0.3, 1.0);
    const double ropeWidth = std::max(0.5, std::abs(ropeSide.x() - handle.x()) * 2);
    QPolygonF rope{pylonTop, handle, handle + QPointF(0, ropeWidth), pylonTop + QPointF(0, 0.5)};
    const double ropeDepth = (camera.distance(b.x, b.y, 1) + d) / 2;
    parts.push_back({ropeDepth, ropeDepth, rope, QColor(230, 210, 60)});
    // The skier leans away from the turn; the spray flies to the outside of it.
    const double lean = std::clamp(-speed / 25, -0.5, 0.5);
    QPolygonF body{project(x - 0.22, y, 0.1), project(x + 0.22, y, 0.1),
                   project(x + 0.2 + lean, y, 1.45), project(x - 0.2 + lean, y, 1.45)};
    parts.push_back({d, d, body, QColor(35, 35, 45)});
    QPolygonF vest{project(x - 0.21 + lean * 0.6, y, 0.9), project(x + 0.21 + lean * 0.6, y, 0.9),
                   project(x + 0.2 + lean, y, 1.4), project(x - 0.2 + lean, y, 1.4)};
    parts.push_back({d, d - 0.01, vest, QColor(225, 195, 35)});
    const QPointF head = project(x + lean * 1.1, y, 1.62);
    const double headR = std::abs(project(x + 0.12, y, 1.62).x() - project(x, y, 1.62).x());
    QPolygonF headPoly;
    for (int k = 0; k < 10; ++k) {
        headPoly << head + QPointF(headR * std::cos(k * pi / 5), headR * std::sin(k * pi / 5));
    }
    parts.push_back({d, d - 0.02, headPoly, QColor(60, 45, 40)});

    std::mt19937 random(o.seed * 1000003u + static_cast<unsigned>(index));
    std::uniform_real_distribution<double> unit(0, 1);
    const int drops = 20 + static_cast<int>(std::abs(speed) * 12);
    const double outward = speed > 0 ? -1 : 1;
    for (int k = 0; k < drops; ++k) {
        const double out = outward * (0.2 + 2.8 * std::pow(unit(random), 1.5));
        const double up = 1.9 * unit(random) * (1 - std::abs(out) / 3.2);
        const double along = (unit(random) - 0.5) * 1.2;
        const double r = 0.04 + 0.12 * unit(random);
        const QPointF c = project(x + out, y + along, up);
        const double pr = std::abs(project(x + out + r, y + along, up).x() - c.x());
        QPolygonF drop;
        for (int q = 0; q < 6; ++q) {
            drop << c + QPointF(pr * std::cos(q * pi / 3), pr * std::sin(q * pi / 3));
        }
        const double dropDepth = camera.distance(x + out, y + along, up) - 0.5;
        parts.push_back({dropDepth, dropDepth, drop,
                         QColor(245, 248, 250, 90 + static_cast<int>(120 * unit(random)))});
    }
}

int TruthPass::frameCount() const {
    double seconds = options_.leadSeconds + (impl_->lastSample + 2) * 0.1 + 0.5;
    if (options_.durationSeconds > 0) {
        seconds = std::min(seconds, options_.durationSeconds);
    }
    return static_cast<int>(std::ceil(seconds * options_.framesPerSecond));
}

std::int64_t TruthPass::frameTimeUs(int index) const {
    return std::llround(index * 1e6 / options_.framesPerSecond);
}

TruthBoat TruthPass::boat(double seconds) const {
    return impl_->boat(seconds);
}

QImage TruthPass::frame(int index) const {
    const Impl& m = *impl_;
    const double t = frameTimeUs(index) / 1e6;
    QImage image(options_.width, options_.height, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const double shake = options_.shakePx * options_.height / 1080.0;
        const double dx = shake * 0.6 * std::sin(2 * pi * 2.3 * t + m.shakePhase[0]) +
                          shake * 0.3 * std::sin(2 * pi * 6.1 * t + m.shakePhase[1]);
        const double dy = shake * std::sin(2 * pi * 1.7 * t + m.shakePhase[2]) +
                          shake * 0.5 * std::sin(2 * pi * 5.3 * t + m.shakePhase[3]);
        p.fillRect(image.rect(), Qt::black);
        p.translate(dx, dy);
        p.drawImage(QPointF(0, 0), m.background);
        const TruthBoat b = m.boat(t);
        m.paint_wake(p, b);
        std::vector<Part> parts;
        m.boat_parts(b, parts);
        if (options_.skier) {
            m.skier_parts(t, index, parts);
        }
        std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
            return a.object != b.object ? a.object > b.object : a.depth > b.depth;
        });
        p.setPen(Qt::NoPen);
        for (const Part& part : parts) {
            p.setBrush(part.colour);
            p.drawPolygon(part.polygon);
        }
    }
    // The sensor: noise on every pixel and a slow change of brightness.
    const double gain = 1 + 0.1 * std::sin(2 * pi * t / 17 + m.shakePhase[0]);
    std::mt19937 random(options_.seed * 7919u + static_cast<unsigned>(index));
    std::normal_distribution<float> noise(0, static_cast<float>(options_.noise));
    std::array<float, 4096> table;
    for (float& v : table) {
        v = noise(random);
    }
    std::size_t next = random() % table.size();
    for (int row = 0; row < image.height(); ++row) {
        auto* line = reinterpret_cast<std::uint8_t*>(image.scanLine(row));
        for (int i = 0; i < image.width() * 4; ++i) {
            if ((i & 3) == 3) {
                continue;
            }
            const float v = static_cast<float>(line[i] * gain) + table[next];
            next = (next + 1 + (static_cast<std::size_t>(row) & 7)) % table.size();
            line[i] = static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
        }
    }
    return image;
}

calibration::SetupFileData TruthPass::setup(const std::string& fileName) const {
    const Impl& m = *impl_;
    const auto buoys = course::reference_buoys(options_.pass.discipline);
    auto twips = [&](const course::SurveyPosition& at) {
        QPointF q;
        m.camera.project(at.x, at.y, 0, q);
        return calibration::PlanePoint{15 * (q.x() - 0.5), 15 * (q.y() - 0.5)};
    };
    DemoCourse demo{options_.pass.discipline,
                    fileName,
                    "Rendered pass with a known boat path",
                    {{twips(buoys.upperRight), twips(buoys.lowerRight), twips(buoys.upperLeft),
                      twips(buoys.lowerLeft)}},
                    {10, -100}};
    auto data = demo_setup(demo);
    return data;
}

std::pair<int, int> TruthPass::click() const {
    const Impl& m = *impl_;
    const TruthBoat b = m.boat(options_.leadSeconds);
    const bool towards = options_.pass.direction == Direction::Towards;
    bool ok = false;
    const QPointF mark =
        towards ? m.boat_point(b, 0.52, 0, 1.02, ok) : m.boat_point(b, -0.4, 0, 1.3, ok);
    std::mt19937 random(options_.seed * 31 + 5);
    std::uniform_int_distribution<int> miss(-1, 1);
    return {static_cast<int>(std::lround(mark.x() - 0.5)) + miss(random),
            static_cast<int>(std::lround(mark.y() - 0.5)) + miss(random)};
}

std::pair<double, double> TruthPass::markPoint(double seconds) const {
    const Impl& m = *impl_;
    const TruthBoat b = m.boat(seconds);
    bool ok = false;
    const QPointF mark = options_.pass.direction == Direction::Towards
                             ? m.boat_point(b, 0.52, 0, 1.02, ok)
                             : m.boat_point(b, -0.4, 0, 1.3, ok);
    return {mark.x(), mark.y()};
}

std::pair<double, double> TruthPass::skierPoint(double seconds) const {
    const Impl& m = *impl_;
    const double s = m.travelled(seconds);
    const TruthBoat b = m.boat(seconds);
    const double x = m.skier_x(s);
    const double lateral = x - b.x;
    const double behind = std::sqrt(std::max(1.0, m.rope * m.rope - lateral * lateral));
    QPointF q;
    m.camera.project(x, b.y - m.forward * (behind + 0.4), 0.8, q);
    return {q.x(), q.y()};
}

std::vector<double> TruthPass::truth() const {
    const Impl& m = *impl_;
    int start = 0;
    while (frameTimeUs(start + 1) <= std::llround(options_.leadSeconds * 1e6)) {
        ++start;
    }
    const std::int64_t startUs = frameTimeUs(start);
    std::vector<double> samples;
    int index = start;
    for (int k = 0; k <= m.lastSample; ++k) {
        while (session::video_ticks_due(frameTimeUs(index), startUs, 100) < k + 1) {
            ++index;
        }
        samples.push_back(
            session::rounded_deviation(m.boat(frameTimeUs(index) / 1e6).x, m.centreX));
    }
    return samples;
}

}  // namespace quillon::demo_course
