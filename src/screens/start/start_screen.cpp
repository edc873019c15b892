#include "screens/start/start_screen.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "screens/start/name_lists.h"
#include "text/text_file.h"

namespace quillon::screens {

namespace {

using course::Direction;
using course::Discipline;
using course::JumpSpeed;
using course::LineLength;
using course::SlalomSpeed;

const QString settingsApplication = QStringLiteral("Quillon");
const QString settingsSection = QStringLiteral("Settings");
const QString settingsKey = QStringLiteral("resultspath");
// The results folder of a first start: a folder of that name in the program's own folder.
const QString defaultResultsFolder = QStringLiteral("Default");

QRadioButton* option(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// Adds list entries without touching the text the box shows, as list boxes of this kind do.
void add_names(QComboBox* box, const std::vector<std::string>& names) {
    const QString shown = box->currentText();
    for (const auto& name : names) {
        box->addItem(QString::fromStdString(name));
    }
    box->setCurrentIndex(-1);
    box->setEditText(shown);
}

}  // namespace

StartScreen::StartScreen(session::PassSession& session, Screens& screens,
                         platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    buildControls();
    connectHandlers();
}

void StartScreen::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);

    Label1 = new QLabel("Quillon Slalom", central);
    Label1->setObjectName("Label1");
    QFont titleFont = Label1->font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setAlignment(Qt::AlignCenter);
    grid->addWidget(Label1, 0, 0, 1, 3);

    auto* left = new QVBoxLayout;
    left->addWidget(buildDisciplineFrame());
    left->addWidget(buildSlalomSpeedFrame());
    left->addWidget(buildDirectionFrame());
    left->addStretch();
    grid->addLayout(left, 1, 0);

    // The jump speeds take the place of the line lengths, which jump does not use: both in one
    // cell, so that the column is as large as the larger of them whichever is shown, and the
    // window never grows when the discipline changes.
    auto* middle = new QGridLayout;
    for (QGroupBox* frame : {buildLineLengthFrame(), buildJumpSpeedFrame()}) {
        // The hidden one keeps its room too, so the names beside them do not move either.
        QSizePolicy policy = frame->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        frame->setSizePolicy(policy);
        middle->addWidget(frame, 0, 0, Qt::AlignTop);
    }
    middle->setRowStretch(1, 1);
    grid->addLayout(middle, 1, 1);

    grid->addWidget(buildNamesAndDetails(), 1, 2);

    auto* buttons = new QHBoxLayout;
    btnSetup = new QPushButton("Go To Setup", central);
    btnSetup->setObjectName("btnSetup");
    Command1 = new QPushButton("Measure", central);
    Command1->setObjectName("Command1");
    for (QPushButton* button : {btnSetup, Command1}) {
        button->setMinimumHeight(44);
        QFont font = button->font();
        font.setBold(true);
        font.setPointSize(font.pointSize() + 2);
        button->setFont(font);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    mnuManual = menuBar()->addAction("&Read Manual");
    mnuManual->setObjectName("mnuManual");
    mnuExit = menuBar()->addAction("E&xit");
    mnuExit->setObjectName("mnuExit");
}

QGroupBox* StartScreen::buildDisciplineFrame() {
    auto* frame = new QGroupBox("Select Slalom or Jump", this);
    frame->setObjectName("Frame6");
    auto* layout = new QVBoxLayout(frame);
    optSlalom = option("optSlalom", "Slalom", frame);
    optJump = option("optJump", "Jump", frame);
    optSlalom->setChecked(true);
    layout->addWidget(optSlalom);
    layout->addWidget(optJump);
    return frame;
}

QGroupBox* StartScreen::buildSlalomSpeedFrame() {
    Frame5 = new QGroupBox("Speed", this);
    Frame5->setObjectName("Frame5");
    auto* layout = new QVBoxLayout(Frame5);
    const std::pair<SlalomSpeed, const char*> speeds[] = {{SlalomSpeed::Kmh58, "opt36"},
                                                          {SlalomSpeed::Kmh55, "opt34"},
                                                          {SlalomSpeed::Kmh52, "opt32"},
                                                          {SlalomSpeed::Kmh49, "opt30"},
                                                          {SlalomSpeed::Kmh46, "optOtherSpeed"}};
    for (const auto& [speed, name] : speeds) {
        auto* button =
            option(name, QString::fromStdString(course::slalom_speed_caption(speed)), Frame5);
        slalomSpeedOptions_[speed] = button;
        layout->addWidget(button);
    }
    slalomSpeedOptions_[SlalomSpeed::Kmh58]->setChecked(true);
    auto* label = new QLabel("Metric Speed is Official", Frame5);
    label->setObjectName("Label2");
    layout->addWidget(label);
    return Frame5;
}

QGroupBox* StartScreen::buildJumpSpeedFrame() {
    Frame7 = new QGroupBox("Speed", this);
    Frame7->setObjectName("Frame7");
    auto* layout = new QVBoxLayout(Frame7);
    const std::pair<JumpSpeed, const char*> speeds[] = {
        {JumpSpeed::Kmh48, "optj30"}, {JumpSpeed::Kmh51, "optj32"}, {JumpSpeed::Kmh54, "optj34"},
        {JumpSpeed::Kmh57, "optj35"}, {JumpSpeed::Kmh60, "optj37"}, {JumpSpeed::Kmh63, "optj39"},
        {JumpSpeed::Kmh66, "optj41"}, {JumpSpeed::Kmh69, "optj43"}, {JumpSpeed::Kmh72, "optj45"}};
    for (const auto& [speed, name] : speeds) {
        auto* button =
            option(name, QString::fromStdString(course::jump_speed_caption(speed)), Frame7);
        jumpSpeedOptions_[speed] = button;
        layout->addWidget(button);
    }
    jumpSpeedOptions_[JumpSpeed::Kmh57]->setChecked(true);
    Frame7->hide();
    return Frame7;
}

QGroupBox* StartScreen::buildLineLengthFrame() {
    Frame1 = new QGroupBox("Line Length", this);
    Frame1->setObjectName("Frame1");
    auto* layout = new QVBoxLayout(Frame1);
    for (int i = 0; i < 10; ++i) {
        const auto length = static_cast<LineLength>(i);
        const QByteArray name = "Option" + QByteArray::number(i + 1);
        auto* button = option(name.constData(),
                              QString::fromStdString(course::line_length_caption(length)), Frame1);
        lineLengthOptions_[length] = button;
        layout->addWidget(button);
    }
    lineLengthOptions_[LineLength::m11_25]->setChecked(true);
    return Frame1;
}

QGroupBox* StartScreen::buildDirectionFrame() {
    auto* frame = new QGroupBox("Boat Direction", this);
    frame->setObjectName("Frame2");
    auto* layout = new QVBoxLayout(frame);
    optAway = option("optAway", "Going away from Camera", frame);
    optTowards = option("optTowards", "Coming toward Camera", frame);
    optTowards->setChecked(true);
    layout->addWidget(optAway);
    layout->addWidget(optTowards);
    return frame;
}

QWidget* StartScreen::buildNamesAndDetails() {
    auto* panel = new QWidget(this);
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    const char* const nameLabels[] = {"Boat", "Model", "Driver", "Skier"};
    for (const NameList& list : name_lists()) {
        layout->addWidget(new QLabel(nameLabels[row], panel), row, 0);
        auto* box = new QComboBox(panel);
        box->setObjectName(list.comboName);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(220);
        box->setEditText(list.caption);
        nameBoxes_[list.modeWord] = box;
        auto* button = new QPushButton(list.buttonCaption, panel);
        button->setObjectName(list.buttonName);
        const QString mode = list.modeWord;
        connect(button, &QPushButton::clicked, this, [this, mode] { cmdEditList_Click(mode); });
        layout->addWidget(box, row, 1);
        layout->addWidget(button, row, 2);
        ++row;
    }

    const std::pair<QLineEdit**, std::pair<const char*, const char*>> fields[] = {
        {&txtTournament, {"txtTournament", "Tournament"}},
        {&txtLocation, {"txtLocation", "Location"}},
        {&txtDate, {"txtDate", "Date"}},
        {&txtNumber, {"txtNumber", "Boat Number"}},
        {&txtResults, {"txtResults", "Data Path for Results"}},
    };
    for (const auto& [field, names] : fields) {
        auto* label = new QLabel(names.second, panel);
        *field = new QLineEdit(panel);
        (*field)->setObjectName(names.first);
        label->setBuddy(*field);
        layout->addWidget(label, row, 0);
        layout->addWidget(*field, row, 1, 1, 2);
        ++row;
    }
    txtNumber->setText("1");

    // The editor, its title naming the open list, and its button. Their room is kept while they
    // are hidden, so the window is the same size with the editor open or closed.
    lblEditList = new QLabel(panel);
    lblEditList->setObjectName("lblEditList");
    QFont titleFont = lblEditList->font();
    titleFont.setBold(true);
    lblEditList->setFont(titleFont);
    Text1 = new QPlainTextEdit(panel);
    Text1->setObjectName("Text1");
    Text1->setMinimumHeight(160);
    cmdCloseSave = new QPushButton("Close/Save", panel);
    cmdCloseSave->setObjectName("cmdCloseSave");
    for (QWidget* part : {static_cast<QWidget*>(lblEditList), static_cast<QWidget*>(Text1),
                          static_cast<QWidget*>(cmdCloseSave)}) {
        QSizePolicy policy = part->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        part->setSizePolicy(policy);
        part->hide();
    }
    layout->addWidget(lblEditList, row, 0, 1, 3);
    layout->addWidget(Text1, row + 1, 0, 1, 3);
    layout->addWidget(cmdCloseSave, row + 2, 2);
    layout->setRowStretch(row + 3, 1);
    layout->setColumnStretch(1, 1);
    return panel;
}

void StartScreen::connectHandlers() {
    connect(txtResults, &QLineEdit::textChanged, this, [this] { txtResults_Change(); });
    connect(optSlalom, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            optSlalom_Click();
        }
    });
    connect(optJump, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            optJump_Click();
        }
    });
    connect(optAway, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            optAway_Click();
        }
    });
    connect(optTowards, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            optTowards_Click();
        }
    });
    connect(btnSetup, &QPushButton::clicked, this, [this] { btnSetup_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdCloseSave, &QPushButton::clicked, this, [this] { cmdCloseSave_Click(); });
    connect(mnuManual, &QAction::triggered, this, [this] { mnuManual_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
}

void StartScreen::Form_Load() {
    setWindowTitle("Quillon Dynamic Version 16.0");

    session_.appFolder = platform_.appFolder.toStdString();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    // The screen size in twips divided by 15 twips per pixel: the size in pixels.
    session_.screenWidthPx = std::to_string(size.width());
    session_.screenHeightPx = std::to_string(size.height());

    screens_.load(Screen::Measure);

    session_.passMeasured = 0;
    session_.keepStartFocus = false;
    session_.directionSign = -1.0;

    // Make sure the lists exist, so that reading them cannot fail for want of a file.
    for (const char* name : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"}) {
        text::append_to_file(name, "");
    }

    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::path(session_.appFolder), ignored);

    for (const char* mode : {"Drivers", "Skiers", "Boats", "Models"}) {
        loadList(mode);
    }

    QString folder = platform_.settings.read(settingsApplication, settingsSection, settingsKey,
                                             defaultResultsFolder);
    if (folder.isEmpty()) {
        folder = QString::fromStdString(session_.appFolder);
    }
    txtResults->setText(folder);
    platform_.settings.write(settingsApplication, settingsSection, settingsKey, txtResults->text());
}

course::PassDescription StartScreen::passDescription() const {
    course::PassDescription pass;
    pass.discipline = optJump->isChecked() ? Discipline::Jump : Discipline::Slalom;
    for (const auto& [speed, button] : slalomSpeedOptions_) {
        if (button->isChecked()) {
            pass.slalomSpeed = speed;
        }
    }
    for (const auto& [speed, button] : jumpSpeedOptions_) {
        if (button->isChecked()) {
            pass.jumpSpeed = speed;
        }
    }
    for (const auto& [length, button] : lineLengthOptions_) {
        if (button->isChecked()) {
            pass.lineLength = length;
        }
    }
    pass.direction = optAway->isChecked() ? Direction::Away : Direction::Towards;
    pass.boatManufacturer = nameBoxes_.at("Boats")->currentText().toStdString();
    pass.boatModel = nameBoxes_.at("Models")->currentText().toStdString();
    pass.driver = nameBoxes_.at("Drivers")->currentText().toStdString();
    pass.skier = nameBoxes_.at("Skiers")->currentText().toStdString();
    pass.tournament = txtTournament->text().toStdString();
    pass.location = txtLocation->text().toStdString();
    pass.date = txtDate->text().toStdString();
    pass.boatNumber = txtNumber->text().toStdString();
    pass.resultsFolder = txtResults->text().toStdString();
    return pass;
}

void StartScreen::selectDirection(Direction direction) {
    (direction == Direction::Away ? optAway : optTowards)->setChecked(true);
}

void StartScreen::closeEvent(QCloseEvent* event) {
    if (!mayDropEditorText("quit")) {
        event->ignore();
        return;
    }
    event->accept();
    screens_.quit();
}

void StartScreen::txtResults_Change() {
    platform_.settings.write(settingsApplication, settingsSection, settingsKey, txtResults->text());
}

void StartScreen::optSlalom_Click() {
    Frame7->hide();
    optAway->show();
    Frame1->show();
    Frame5->show();
    Label1->setText("Quillon Slalom");
}

void StartScreen::optJump_Click() {
    optAway->hide();
    optTowards->setChecked(true);
    Frame1->hide();
    Frame5->hide();
    Frame7->show();
    Label1->setText("Quillon Jump");
}

void StartScreen::optAway_Click() {
    session_.directionSign = 1.0;
}

void StartScreen::optTowards_Click() {
    session_.directionSign = -1.0;
}

bool StartScreen::resultsFolderUsable() {
    const QString folder = txtResults->text();
    if (folder.endsWith('\\') || folder.endsWith('/')) {
        txtResults->setText(folder.chopped(1));
    }
    if (txtResults->text().isEmpty()) {
        platform_.dialogs.message(
            "No results folder is given. Enter one under Data Path for Results.",
            platform::MessageStyle::Information);
        return false;
    }
    // At the first start the box holds the default folder, which nothing has made yet: it is
    // made in the program's own folder (the current folder, where the bare name points), so
    // that a new user gets through. A file of that name is left alone and fails the probe;
    // every other folder must exist.
    if (txtResults->text() == defaultResultsFolder) {
        QDir(QString::fromStdString(session_.appFolder)).mkdir(defaultResultsFolder);
    }
    const auto probe = text::append_to_file(
        text::path_in_folder(txtResults->text().toStdString(), "test.txt"), "");
    if (!probe) {
        // The system's words first, then the file, so the operator sees which folder failed.
        platform_.dialogs.message(
            QStringLiteral("%1\n\n\"test.txt\" could not be written in "
                           "the results folder \"%2\".")
                .arg(QString::fromStdString(probe.description), txtResults->text()),
            platform::MessageStyle::Information);
        return false;
    }
    return true;
}

void StartScreen::btnSetup_Click() {
    if (!resultsFolderUsable()) {
        return;
    }
    screens_.show(Screen::Setup);
    hide();
}

void StartScreen::Command1_Click() {
    if (!resultsFolderUsable()) {
        return;
    }
    if (session_.setupValid == 0) {
        platform_.dialogs.message(
            "The setup must be OK to proceed.  Return to the setup screen and create a valid setup",
            platform::MessageStyle::Ok);
        return;
    }
    screens_.show(Screen::Measure);
    hide();
}

QString StartScreen::listPath(const char* fileName) const {
    return QDir(QString::fromStdString(session_.appFolder)).filePath(fileName);
}

void StartScreen::loadList(const QString& modeWord) {
    for (const NameList& list : name_lists()) {
        if (modeWord != list.modeWord) {
            continue;
        }
        const auto loaded = load_names(listPath(list.fileName).toStdString());
        if (!loaded.status) {
            platform_.dialogs.message(QStringLiteral("The list \"%1\" could not be read: %2")
                                          .arg(listPath(list.fileName),
                                               QString::fromStdString(loaded.status.description)),
                                      platform::MessageStyle::Exclamation);
        }
        add_names(nameBoxes_.at(modeWord), loaded.names);
    }
}

const NameList* StartScreen::editedList() const {
    for (const NameList& list : name_lists()) {
        if (editMode_ == list.modeWord) {
            return &list;
        }
    }
    return nullptr;
}

// Text typed into the editor and not saved is dropped only when the operator says so. `then`
// says what would follow ("open the Skiers list", "quit").
bool StartScreen::mayDropEditorText(const QString& then) {
    const NameList* list = editedList();
    if (list == nullptr || Text1->isHidden() || Text1->toPlainText() == editorOpenedWith_) {
        return true;
    }
    const QString question = QStringLiteral(
                                 "The %1 list has changes that are not saved. Drop them and %2?\n\n"
                                 "Answer No to keep editing, then press Close/Save to save them.")
                                 .arg(QString::fromLatin1(list->title), then);
    return platform_.dialogs.message(question, platform::MessageStyle::YesNo, "Unsaved List") ==
           platform::MessageAnswer::Yes;
}

void StartScreen::cmdEditList_Click(const QString& modeWord) {
    for (const NameList& list : name_lists()) {
        if (modeWord != list.modeWord) {
            continue;
        }
        if (!mayDropEditorText(QStringLiteral("open the %1 list").arg(list.title))) {
            Text1->setFocus();
            return;
        }
        const auto loaded = load_names(listPath(list.fileName).toStdString());
        if (!loaded.status) {
            // An editor opened empty would overwrite the unreadable file on saving; the
            // editor stays as it was instead.
            platform_.dialogs.message(QStringLiteral("The list \"%1\" could not be read: %2")
                                          .arg(listPath(list.fileName),
                                               QString::fromStdString(loaded.status.description)),
                                      platform::MessageStyle::Exclamation);
            return;
        }
        editMode_ = modeWord;
        lblEditList->setText(
            QStringLiteral("Editing the %1 list (%2): one name a line")
                .arg(QString::fromLatin1(list.title), QString::fromLatin1(list.fileName)));
        lblEditList->show();
        Text1->show();
        cmdCloseSave->show();
        editorOpenedWith_ = QString::fromStdString(editor_text(loaded.names));
        Text1->setPlainText(editorOpenedWith_);
    }
    Text1->setFocus();
}

void StartScreen::cmdCloseSave_Click() {
    for (const NameList& list : name_lists()) {
        if (editMode_ != list.modeWord) {
            continue;
        }
        const QString path = listPath(list.fileName);
        const auto saved = text::replace_file(path.toStdString(),
                                              list_file_text(Text1->toPlainText().toStdString()));
        if (!saved) {
            // Keep the editor open with its text, so nothing typed is lost.
            platform_.dialogs.message(QStringLiteral("The list \"%1\" could not be saved: %2")
                                          .arg(path, QString::fromStdString(saved.description)),
                                      platform::MessageStyle::Exclamation);
            return;
        }
        lblEditList->hide();
        Text1->hide();
        cmdCloseSave->hide();
        QComboBox* box = nameBoxes_.at(editMode_);
        box->clear();
        box->setEditText(list.caption);
        loadList(editMode_);
    }
}

void StartScreen::mnuManual_Click() {
    screens_.show(Screen::Manual);
}

void StartScreen::mnuExit_Click() {
    if (mayDropEditorText("quit")) {
        screens_.quit();
    }
}

}  // namespace quillon::screens
