// The burn page's widgets and what their signals start.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "disc/disc_space.h"
#include "gui/burn_display_relay.h"
#include "gui/pages/burn_tab.h"
#include "gui/theme_icons.h"
#include "workspace/application.h"
#include "workspace/disc_writer_station.h"

namespace velmora {

namespace {

constexpr int kBarRange = 65535;
// A volume label becomes the disc's ISO 9660 volume identifier: 32 characters.
constexpr int kVolumeLabelLength = 32;

QPushButton* makePushButton(QWidget* parent, const char* objectName, const QString& text,
                            const QString& tip) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
    return button;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

QProgressBar* makeBar(QWidget* parent, const char* objectName, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(objectName));
    bar->setRange(0, kBarRange);
    bar->setTextVisible(false);  // until something runs
    bar->setAccessibleName(name);
    return bar;
}

}  // namespace

void BurnTab::buildControls() {
    auto* top = new QHBoxLayout;
    top->addWidget(buildOutputBox(), 1);
    top->addWidget(buildWriterBox(), 1);
    pageLayout()->addLayout(top);
    pageLayout()->addWidget(buildProgressBox());
    pageLayout()->addStretch(1);
    pageLayout()->addWidget(buildButtonRow());
    connectRelay();
}

QWidget* BurnTab::buildOutputBox() {
    auto* box = new QGroupBox(tr("DVD folder"), this);
    auto* layout = new QGridLayout(box);
    outputField_ = new QLineEdit(box);
    outputField_->setObjectName(QStringLiteral("outputField"));
    outputField_->setReadOnly(true);
    outputField_->setToolTip(tr("VIDEO_TS and AUDIO_TS are made in this folder"));
    browseButton_ = makePushButton(box, "browseButton", tr("B&rowse..."),
                                   tr("Choose where the DVD folder is made"));
    browseButton_->setIcon(themeIcon(QStringLiteral("document-open"),
                                     parts_.app.folders.resourceFolder));
    connect(browseButton_, &QPushButton::clicked, this, &BurnTab::chooseOutputFolder);
    layout->addWidget(buddyLabel(tr("&Output folder:"), outputField_), 0, 0, 1, 2);
    layout->addWidget(outputField_, 1, 0);
    layout->addWidget(browseButton_, 1, 1);

    usageBar_ = new QProgressBar(box);
    usageBar_->setObjectName(QStringLiteral("usageBar"));
    usageBar_->setRange(0, DriveUsage::kInitialBarMaximum);
    usageBar_->setTextVisible(false);
    usageBar_->setAccessibleName(tr("Space used on the output folder's drive"));
    freeText_ = new QLabel(box);
    freeText_->setObjectName(QStringLiteral("freeText"));
    layout->addWidget(usageBar_, 2, 0);
    layout->addWidget(freeText_, 2, 1);

    spaceWarning_ = new QLabel(box);
    spaceWarning_->setObjectName(QStringLiteral("spaceWarning"));
    spaceWarning_->setWordWrap(true);
    spaceWarning_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A red that reads on light and on dark desktops.
    QPalette warning = spaceWarning_->palette();
    const bool dark = warning.color(QPalette::Window).lightness() < 128;
    warning.setColor(QPalette::WindowText,
                     dark ? QColor(0xff, 0x80, 0x80) : QColor(0xb0, 0x20, 0x20));
    spaceWarning_->setPalette(warning);
    spaceWarning_->hide();
    layout->addWidget(spaceWarning_, 3, 0, 1, 2);

    volumeLabel_ = new QLineEdit(box);
    volumeLabel_->setObjectName(QStringLiteral("volumeLabel"));
    volumeLabel_->setMaxLength(kVolumeLabelLength);
    volumeLabel_->setToolTip(tr("The disc's name, as players and file managers show it"));
    layout->addWidget(buddyLabel(tr("&Volume label:"), volumeLabel_), 4, 0, 1, 2);
    layout->addWidget(volumeLabel_, 5, 0, 1, 2);
    layout->setRowStretch(6, 1);
    return box;
}

QWidget* BurnTab::buildWriterBox() {
    auto* box = new QGroupBox(tr("Write to"), this);
    auto* layout = new QGridLayout(box);
    discTarget_ = new QRadioButton(tr("&DVD writer"), box);
    discTarget_->setObjectName(QStringLiteral("discTarget"));
    discTarget_->setChecked(true);
    imageTarget_ = new QRadioButton(tr("&ISO image file"), box);
    imageTarget_->setObjectName(QStringLiteral("imageTarget"));
    imageTarget_->setToolTip(tr("Write an image file to burn elsewhere or to play"));
    auto* targets = new QButtonGroup(box);
    targets->addButton(discTarget_);
    targets->addButton(imageTarget_);
    connect(discTarget_, &QRadioButton::toggled, this, &BurnTab::targetChanged);

    writerList_ = new QComboBox(box);
    writerList_->setObjectName(QStringLiteral("writerList"));
    writerList_->setPlaceholderText(tr("Looking for DVD writers..."));
    writerList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(writerList_, &QComboBox::activated, this,
            [this](int index) { station_->selectWriter(index); });
    refreshButton_ = makePushButton(box, "refreshButton", tr("Re&fresh"),
                                    tr("Look for DVD writers and media again"));
    refreshButton_->setIcon(themeIcon(QStringLiteral("view-refresh"),
                                      parts_.app.folders.resourceFolder));
    connect(refreshButton_, &QPushButton::clicked, this, [this] {
        writerList_->clear();
        writerList_->setPlaceholderText(tr("Looking for DVD writers..."));
        station_->refresh();
    });
    mediumText_ = new QLabel(box);
    mediumText_->setObjectName(QStringLiteral("mediumText"));
    speedList_ = new QComboBox(box);
    speedList_->setObjectName(QStringLiteral("speedList"));
    speedList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(speedList_, &QComboBox::activated, this,
            [this](int index) { station_->selectSpeed(index); });

    imageField_ = new QLineEdit(box);
    imageField_->setObjectName(QStringLiteral("imageField"));
    imageField_->setToolTip(tr("The ISO image file to write"));
    imageField_->setAccessibleName(tr("ISO image file"));
    chooseImageButton_ = makePushButton(box, "chooseImageButton", tr("C&hoose..."),
                                        tr("Choose where the ISO image is saved"));
    connect(chooseImageButton_, &QPushButton::clicked, this, &BurnTab::chooseImageFile);
    connect(imageField_, &QLineEdit::textChanged, this, &BurnTab::updateButtons);

    burnBox_ = new QCheckBox(box);
    burnBox_->setObjectName(QStringLiteral("burnBox"));
    shutdownBox_ = new QCheckBox(tr("Shut &down the computer when finished"), box);
    shutdownBox_->setObjectName(QStringLiteral("shutdownBox"));

    layout->addWidget(discTarget_, 0, 0, 1, 3);
    layout->addWidget(buddyLabel(tr("DVD Recorder Device:"), writerList_), 1, 0);
    layout->addWidget(writerList_, 1, 1);
    layout->addWidget(refreshButton_, 1, 2);
    layout->addWidget(new QLabel(tr("Inserted Media:"), box), 2, 0);
    layout->addWidget(mediumText_, 2, 1, 1, 2);
    layout->addWidget(buddyLabel(tr("Speed:"), speedList_), 3, 0);
    layout->addWidget(speedList_, 3, 1, 1, 2);
    speedList_->setToolTip(tr("Available speeds for the inserted media:"));
    layout->addWidget(imageTarget_, 4, 0, 1, 3);
    layout->addWidget(imageField_, 5, 0, 1, 2);
    layout->addWidget(chooseImageButton_, 5, 2);
    layout->addWidget(burnBox_, 6, 0, 1, 3);
    layout->addWidget(shutdownBox_, 7, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    return box;
}

QWidget* BurnTab::buildProgressBox() {
    auto* box = new QGroupBox(tr("Progress"), this);
    auto* layout = new QGridLayout(box);
    mainLabel_ = new QLabel(tr("Main progress:"), box);
    mainLabel_->setObjectName(QStringLiteral("mainLabel"));
    detailLabel_ = new QLabel(tr("Detail progress:"), box);
    detailLabel_->setObjectName(QStringLiteral("detailLabel"));
    mainBar_ = makeBar(box, "mainBar", tr("Main progress"));
    detailBar_ = makeBar(box, "detailBar", tr("Detail progress"));
    clockLabel_ = new QLabel(box);
    clockLabel_->setObjectName(QStringLiteral("clockLabel"));
    clockLabel_->setToolTip(tr("The time the DVD still needs, as far as it can be told"));
    clockLabel_->hide();
    clock_ = new QTimer(this);
    clock_->setInterval(100);
    connect(clock_, &QTimer::timeout, this, &BurnTab::tickClock);
    layout->addWidget(mainLabel_, 0, 0);
    layout->addWidget(clockLabel_, 0, 1, Qt::AlignRight);
    layout->addWidget(mainBar_, 1, 0, 1, 2);
    layout->addWidget(detailLabel_, 2, 0, 1, 2);
    layout->addWidget(detailBar_, 3, 0, 1, 2);
    return box;
}

QWidget* BurnTab::buildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::filesystem::path& resources = parts_.app.folders.resourceFolder;
    makeButton_ = makePushButton(row, "makeButton", tr("Make DVD"),
                                 tr("Make the DVD folder from the project, then write it when "
                                    "asked to"));
    makeButton_->setIcon(themeIcon(QStringLiteral("velmora-burn"), resources));
    makeButton_->setDefault(true);
    connect(makeButton_, &QPushButton::clicked, this, &BurnTab::makeOrCancel);
    burnButton_ = makePushButton(row, "burnButton", tr("&Burn..."), QString());
    burnButton_->setIcon(themeIcon(QStringLiteral("media-optical"), resources));
    connect(burnButton_, &QPushButton::clicked, this, &BurnTab::burnFolder);
    playButton_ = makePushButton(
        row, "playButton", tr("&Play"),
        tr("Open what was made with the desktop's player. To play the folder as a disc, with "
           "its menu: mpv dvd:// --dvd-device=FOLDER, or vlc dvd://FOLDER"));
    playButton_->setIcon(themeIcon(QStringLiteral("media-playback-start"), resources));
    connect(playButton_, &QPushButton::clicked, this, &BurnTab::playDisc);
    openFolderButton_ = makePushButton(row, "openFolderButton", tr("Open &Folder"),
                                       tr("Show what was made in the file manager"));
    openFolderButton_->setIcon(themeIcon(QStringLiteral("folder-open"), resources));
    connect(openFolderButton_, &QPushButton::clicked, this, &BurnTab::openOutputFolder);
    playButton_->hide();
    openFolderButton_->hide();
    layout->addWidget(makeButton_);
    layout->addWidget(burnButton_);
    layout->addStretch(1);
    layout->addWidget(playButton_);
    layout->addWidget(openFolderButton_);
    return row;
}

// The engines' threads reach the widgets only through these queued
// connections.
void BurnTab::connectRelay() {
    const auto queued = Qt::QueuedConnection;
    connect(relay_, &BurnDisplayRelay::mainLabelChanged, mainLabel_, &QLabel::setText, queued);
    connect(relay_, &BurnDisplayRelay::detailLabelChanged, detailLabel_, &QLabel::setText,
            queued);
    connect(relay_, &BurnDisplayRelay::mainBarChanged, mainBar_, &QProgressBar::setValue, queued);
    connect(relay_, &BurnDisplayRelay::detailBarChanged, detailBar_, &QProgressBar::setValue,
            queued);
    connect(relay_, &BurnDisplayRelay::mediumTextChanged, mediumText_, &QLabel::setText, queued);
    connect(relay_, &BurnDisplayRelay::buttonCaptionChanged, makeButton_, &QPushButton::setText,
            queued);
    connect(relay_, &BurnDisplayRelay::writerNamesChanged, this, &BurnTab::writersChanged, queued);
    connect(relay_, &BurnDisplayRelay::speedListChanged, this, &BurnTab::speedsChanged, queued);
    connect(relay_, &BurnDisplayRelay::buildFinished, this, &BurnTab::buildFinished, queued);
}

}  // namespace velmora
