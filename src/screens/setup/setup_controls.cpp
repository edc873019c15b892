#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "screens/setup/reference_box_table.h"
#include "screens/setup/setup_screen.h"
#include "screens/widgets/drawing_surface.h"
#include "screens/widgets/overlay_canvas.h"

// The Setup screen's controls: how they are made and where they stand.

namespace quillon::screens {

namespace {

const QColor white{255, 255, 255};
const QColor black{0, 0, 0};

QLineEdit* make_box(QWidget* parent, const char* name, const char* initial) {
    auto* box = new QLineEdit(QString::fromLatin1(initial), parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* make_option(QWidget* parent, const char* name, const char* caption) {
    auto* option = new QRadioButton(QString::fromLatin1(caption), parent);
    option->setObjectName(name);
    return option;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* make_frame(QWidget* parent, const char* name, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(name);
    // Frames sit on the picture: give them a plain background so their captions stay legible.
    frame->setAutoFillBackground(true);
    return frame;
}

// Puts a frame's options in a grid of `columns` columns (2 x 2 for the four buoys, upper
// above lower), each column as wide as its widest caption needs, with fewer columns when
// they would pass the frame's edge; the frame is made as high as its rows. No caption is cut
// off and no two options overlap, whatever the font.
void lay_out_options(QGroupBox* frame, const std::vector<QRadioButton*>& options, int columns,
                     const QRect& at) {
    constexpr int inset = 6;
    constexpr int captionHeight = 20;
    constexpr int gap = 4;
    const int room = at.width() - 2 * inset;
    std::vector<int> widths;
    for (; columns > 1; --columns) {
        widths.assign(static_cast<std::size_t>(columns), 0);
        for (std::size_t i = 0; i < options.size(); ++i) {
            int& width = widths[i % widths.size()];
            width = std::max(width, options[i]->sizeHint().width());
        }
        int total = gap * (columns - 1);
        for (const int width : widths) {
            total += width;
        }
        if (total <= room) {
            break;
        }
    }
    if (columns == 1) {
        widths.assign(1, room);
    }
    int y = captionHeight;
    for (std::size_t first = 0; first < options.size(); first += widths.size()) {
        int x = inset;
        int rowHeight = 22;
        for (std::size_t i = first; i < std::min(options.size(), first + widths.size()); ++i) {
            const int height = std::max(22, options[i]->sizeHint().height());
            options[i]->setGeometry(x, y, std::min(widths[i - first], room), height);
            x += widths[i - first] + gap;
            rowHeight = std::max(rowHeight, height);
        }
        y += rowHeight + 2;
    }
    frame->setGeometry(at.x(), at.y(), at.width(), y - 2 + inset);
}

// White on black, legible over water and over the key colour alike.
void make_black_label(QLabel* label) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, black);
    palette.setColor(QPalette::WindowText, white);
    label->setPalette(palette);
}

}  // namespace

void SetupScreen::setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void SetupScreen::createControls() {
    const calibration::ReferenceBoxes initial = calibration::initial_reference_boxes();
    QWidget* s = surface_;
    for (std::size_t i = 0; i < referenceBoxCount; ++i) {
        const ReferenceBoxEntry& entry = referenceBoxTable[i];
        referenceBoxes_[i] = make_box(s, entry.name, (initial.*entry.text).c_str());
        referenceBoxes_[i]->setToolTip(QString::fromLatin1(entry.tip));
    }

    ipt_file_description = make_box(s, "ipt_file_description", "No File");
    ipt_file_description_2 = make_box(s, "ipt_file_description_2", "");
    cmdHide = make_button(s, "cmdHide", "Hide");

    Load = make_button(s, "Load", "Complete");
    grid_select = make_button(s, "grid_select", "Grid 1");
    grid_state_icon = new QLabel(s);
    grid_state_icon->setObjectName("grid_state_icon");
    grid_state_icon->setAlignment(Qt::AlignCenter);

    Frame1 = make_frame(s, "Frame1", "Gate Buoy Selection");
    upper_left_button = make_option(Frame1, "upper_left_button", "upper left");
    upper_right_button = make_option(Frame1, "upper_right_button", "upper right");
    lower_left_button = make_option(Frame1, "lower_left_button", "lower left");
    lower_right_button = make_option(Frame1, "lower_right_button", "lower right");

    chkboxGridLock = new QCheckBox("Lock Grid Buoys", s);
    chkboxGridLock->setObjectName("chkboxGridLock");
    chkboxGridLock->setAutoFillBackground(true);
    gridLockedLabel = new QLabel("GRID LOCKED!", s);
    gridLockedLabel->setObjectName("gridLockedLabel");
    QFont lockedFont = gridLockedLabel->font();
    lockedFont.setPointSize(24);
    lockedFont.setBold(true);
    gridLockedLabel->setFont(lockedFont);
    setTextColour(gridLockedLabel, white);
    gridLockedLabel->adjustSize();
    gridLockedLabel->installEventFilter(this);

    AdjustmentLabel = new QLabel("Micro-Adjust", s);
    AdjustmentLabel->setObjectName("AdjustmentLabel");
    const std::array<std::pair<QToolButton**, std::pair<const char*, Qt::ArrowType>>, 4> arrows{{
        {&AdjustUp, {"AdjustUp", Qt::UpArrow}},
        {&AdjustDown, {"AdjustDown", Qt::DownArrow}},
        {&AdjustLeft, {"AdjustLeft", Qt::LeftArrow}},
        {&AdjustRight, {"AdjustRight", Qt::RightArrow}},
    }};
    for (const auto& [button, what] : arrows) {
        *button = new QToolButton(s);
        (*button)->setObjectName(what.first);
        (*button)->setArrowType(what.second);
    }

    Setup_Cross_size = new QScrollBar(Qt::Horizontal, s);
    Setup_Cross_size->setObjectName("Setup_Cross_size");
    Setup_Cross_size->setRange(15, static_cast<int>(largestCrossSize));
    Setup_Cross_size->setSingleStep(15);
    Setup_Cross_size->setPageStep(15);
    Setup_Cross_size->setValue(static_cast<int>(initialCrossSize));
    CrossSizeLabel = new QLabel("Cross Size", s);
    CrossSizeLabel->setObjectName("CrossSizeLabel");
    CrossSizeLabel->installEventFilter(this);
    make_black_label(AdjustmentLabel);
    make_black_label(CrossSizeLabel);

    show_alignment = make_button(s, "show_alignment", "Draw Buoys");
    btnShowAllBuoys = make_button(s, "btnShowAllBuoys", "Show Course");

    btnAccuracyCheck = make_button(s, "btnAccuracyCheck", "Accuracy");
    btnClearAccuracy = make_button(s, "btnClearAccuracy", "Clear Accuracy Values");
    btnClearAccuracy->hide();
    fmAccuracyDisplay = make_frame(s, "fmAccuracyDisplay", "Accuracy ");
    optAdvancedAccuracy = make_option(fmAccuracyDisplay, "optAdvancedAccuracy", "Advanced");
    optStandardAccuracy = make_option(fmAccuracyDisplay, "optStandardAccuracy", "Standard");
    optAdvancedAccuracy->setChecked(true);
    fmAccuracyConfig = make_frame(s, "fmAccuracyConfig", "Display");
    optDisplayDistance = make_option(fmAccuracyConfig, "optDisplayDistance", "Distance");
    optDetailMeasurement = make_option(fmAccuracyConfig, "optDetailMeasurement", "Detail ");
    optHomolgationLevel = make_option(fmAccuracyConfig, "optHomolgationLevel", "Hom.Lvl");
    optDetailMeasurement->setChecked(true);

    QFont small = font();
    small.setPointSize(8);
    for (int k = 0; k < accuracyIndicatorCount; ++k) {
        auto* label = new QLabel(s);
        label->setObjectName(QStringLiteral("AccuracyIndicator%1").arg(k));
        label->setFont(small);
        label->hide();
        AccuracyIndicator[static_cast<std::size_t>(k)] = label;
    }
    for (int k = 0; k < lineLabelCount; ++k) {
        auto* label = new QLabel(QString::number(k + 1), s);
        label->setObjectName(QStringLiteral("LineLabel%1").arg(k));
        label->hide();
        LineLabel[static_cast<std::size_t>(k)] = label;
    }

    QMenuBar* menu = menuBar();
    gridLoad = menu->addAction("&Load Setup Data File");
    gridLoad->setObjectName("gridLoad");
    QMenu* pictureMenu = menu->addMenu("Setup &Picture");
    mnuSetupPicture = pictureMenu->menuAction();
    mnuSetupPicture->setObjectName("mnuSetupPicture");
    mnuLoadPicture = pictureMenu->addAction("Load &Picture");
    mnuLoadPicture->setObjectName("mnuLoadPicture");
    mnuClearPicture = pictureMenu->addAction("&Clear Picture");
    mnuClearPicture->setObjectName("mnuClearPicture");
    mnuPaste = menu->addAction("P&aste Picture from Clipboard");
    mnuPaste->setObjectName("mnuPaste");
    gridSave = menu->addAction("&Save Data Setup File");
    gridSave->setObjectName("gridSave");
    gridExit = menu->addAction("E&xit");
    gridExit->setObjectName("gridExit");
}

// Everything sits along the edges of the screen, the middle is left to the course: the left
// buoys' boxes, the buoy selection, the lock, the arrows and the cross size down the left edge;
// the right buoys' boxes and the commands down the right edge; the descriptions along the top.
void SetupScreen::placeControls() {
    const QSize surface = drawing_surface_size(session_);
    hold_drawing_surface(*this, *surface_, surface);
    const int width = surface.width();
    const int bottom = surface.height() - 10;

    constexpr int column = 190;
    constexpr int boxW = 93;
    constexpr int boxH = 22;
    const int left = 4;
    const int right = width - column - 4;

    auto pair = [](QLineEdit* a, QLineEdit* b, int x, int y) {
        a->setGeometry(x, y, boxW, boxH);
        b->setGeometry(x + boxW + 4, y, boxW, boxH);
    };
    pair(box(upperLeftX), box(upperLeftY), left, 4);
    pair(box(ulSurveyX), box(ulSurveyY), left, 28);
    pair(box(jumpX), box(jumpY), left, 56);
    pair(box(upperRightX), box(upperRightY), right, 4);
    pair(box(urSurveyX), box(urSurveyY), right, 28);
    pair(box(lowerLeftX), box(lowerLeftY), left, bottom - 48);
    pair(box(llSurveyX), box(llSurveyY), left, bottom - 24);
    pair(box(lowerRightX), box(lowerRightY), right, bottom - 48);
    pair(box(lrSurveyX), box(lrSurveyY), right, bottom - 24);

    const int descriptionLeft = left + column + 8;
    const int descriptionWidth = (right - 8 - descriptionLeft - 60) / 2;
    ipt_file_description->setGeometry(descriptionLeft, 4, descriptionWidth, boxH);
    ipt_file_description_2->setGeometry(descriptionLeft + descriptionWidth + 4, 4, descriptionWidth,
                                        boxH);
    cmdHide->setGeometry(descriptionLeft + 2 * descriptionWidth + 8, 3, 56, boxH + 2);
    gridLockedLabel->move((width - gridLockedLabel->width()) / 2, 32);

    lay_out_options(Frame1,
                    {upper_left_button, upper_right_button, lower_left_button, lower_right_button},
                    2, QRect(left, 84, column, 0));
    // The rest of the left column follows the buoy frame down should its options wrap.
    const int lock = std::max(166, Frame1->geometry().bottom() + 6);
    chkboxGridLock->setGeometry(left, lock, column, 22);
    AdjustmentLabel->setGeometry(left, lock + 30, 90, 18);
    constexpr int arrow = 26;
    const int arrows = lock + 52;
    AdjustUp->setGeometry(left + arrow, arrows, arrow, arrow);
    AdjustLeft->setGeometry(left, arrows + arrow, arrow, arrow);
    AdjustRight->setGeometry(left + 2 * arrow, arrows + arrow, arrow, arrow);
    AdjustDown->setGeometry(left + arrow, arrows + 2 * arrow, arrow, arrow);
    CrossSizeLabel->setGeometry(left, lock + 140, 90, 18);
    Setup_Cross_size->setGeometry(left, lock + 160, column, 18);

    grid_select->setGeometry(right, 56, 90, 28);
    grid_state_icon->setGeometry(right + 100, 54, 32, 32);
    Load->setGeometry(right, 90, column, 28);
    show_alignment->setGeometry(right, 124, column, 26);
    btnShowAllBuoys->setGeometry(right, 154, column, 26);
    btnAccuracyCheck->setGeometry(right, 188, column, 26);
    btnClearAccuracy->setGeometry(right, 218, column, 26);
    lay_out_options(fmAccuracyDisplay, {optAdvancedAccuracy, optStandardAccuracy}, 2,
                    QRect(right, 250, column, 0));
    lay_out_options(fmAccuracyConfig,
                    {optDisplayDistance, optDetailMeasurement, optHomolgationLevel}, 3,
                    QRect(right, fmAccuracyDisplay->geometry().bottom() + 5, column, 0));
}

}  // namespace quillon::screens
