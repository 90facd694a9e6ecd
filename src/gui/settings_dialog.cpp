#include "gui/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/notifier.h"
#include "base/path_text.h"
#include "gui/file_dialogs.h"
#include "model/preferences.h"
#include "model/settings_save.h"
#include "workspace/application.h"

namespace velmora {

namespace {

constexpr int kLongestPhotoListSeconds = 200;
constexpr int kLongestTransitionListSeconds = 10;

QComboBox* secondsList(int longest, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (int seconds = 1; seconds <= longest; ++seconds)
        list->addItem(QString::number(seconds), seconds);
    return list;
}

// The list shows whole seconds from 1; a value outside shows the nearest.
void selectSeconds(QComboBox* list, int seconds) {
    list->setCurrentIndex(std::clamp(seconds, 1, list->count()) - 1);
}

// The first country whose name starts with `name`, ignoring case; the
// first row when none does.
int countryRow(const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    const auto& table = nationTable();
    for (int row = 0; row < int(table.size()); ++row) {
        const QString country = QString::fromUtf8(table[size_t(row)].name.data(),
                                                  qsizetype(table[size_t(row)].name.size()));
        if (country.startsWith(wanted, Qt::CaseInsensitive)) return row;
    }
    return 0;
}

}  // namespace

SettingsDialog::SettingsDialog(const SettingsDialogParts& parts, QWidget* parent)
    : QDialog(parent), parts_(parts) {
    setWindowTitle(tr("Settings"));
    auto* pages = new QTabWidget(this);
    pages->addTab(buildNormalPage(), tr("Normal"));
    pages->addTab(buildOptionPage(), tr("Option"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveButton = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
    setMinimumWidth(460);
    showPreferences();
}

QWidget* SettingsDialog::buildNormalPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(page);
    folder_->setObjectName(QStringLiteral("outputFolder"));
    auto* browse = new QPushButton(tr("..."), page);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setMaximumWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 3);
    browse->setToolTip(tr("Choose the output folder"));
    browse->setAccessibleName(tr("Choose the output folder"));
    connect(browse, &QPushButton::clicked, this, &SettingsDialog::chooseFolder);
    auto* folderLabel = new QLabel(tr("Output Folder:"), page);
    folderLabel->setBuddy(folder_);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);
    layout->addLayout(folderRow);

    auto* system = new QGroupBox(tr("TV System:"), page);
    auto* systemLayout = new QVBoxLayout(system);
    auto* modes = new QWidget(system);
    auto* modesLayout = new QVBoxLayout(modes);
    modesLayout->setContentsMargins(0, 0, 0, 0);
    specificSystem_ = new QRadioButton(tr("Set to a specific TV system"), modes);
    specificSystem_->setObjectName(QStringLiteral("specificSystem"));
    auto* standards = new QWidget(modes);
    auto* standardsLayout = new QHBoxLayout(standards);
    standardsLayout->setContentsMargins(24, 0, 0, 0);
    ntsc_ = new QRadioButton(tr("NTSC"), standards);
    ntsc_->setObjectName(QStringLiteral("ntsc"));
    pal_ = new QRadioButton(tr("PAL"), standards);
    pal_->setObjectName(QStringLiteral("pal"));
    standardsLayout->addWidget(ntsc_);
    standardsLayout->addWidget(pal_);
    standardsLayout->addStretch();
    byCountry_ = new QRadioButton(tr("Select the target country or region"), modes);
    byCountry_->setObjectName(QStringLiteral("byCountry"));
    countries_ = new QComboBox(modes);
    countries_->setObjectName(QStringLiteral("countries"));
    for (const Nation& nation : nationTable())
        countries_->addItem(QString::fromUtf8(nation.name.data(), qsizetype(nation.name.size())));
    modesLayout->addWidget(specificSystem_);
    modesLayout->addWidget(standards);
    modesLayout->addWidget(byCountry_);
    modesLayout->addWidget(countries_);
    systemLayout->addWidget(modes);
    layout->addWidget(system);
    connect(byCountry_, &QRadioButton::toggled, this, &SettingsDialog::useCountry);
    connect(countries_, &QComboBox::currentIndexChanged, this, &SettingsDialog::countryChosen);

    auto* aspect = new QGroupBox(tr("Aspect Ratio:"), page);
    auto* aspectLayout = new QHBoxLayout(aspect);
    standardAspect_ = new QRadioButton(tr("4:3"), aspect);
    standardAspect_->setObjectName(QStringLiteral("aspect4x3"));
    wideAspect_ = new QRadioButton(tr("16:9"), aspect);
    wideAspect_->setObjectName(QStringLiteral("aspect16x9"));
    aspectLayout->addWidget(standardAspect_);
    aspectLayout->addWidget(wideAspect_);
    aspectLayout->addStretch();
    layout->addWidget(aspect);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::buildOptionPage() {
    auto* page = new QWidget(this);
    auto* layout = new QFormLayout(page);
    loopAudio_ = new QCheckBox(tr("Loop audio"), page);
    loopAudio_->setObjectName(QStringLiteral("loopAudio"));
    randomTransition_ = new QCheckBox(tr("Random Transition Effect"), page);
    randomImageEffect_ = new QCheckBox(tr("Random Image Effect"), page);
    layout->addRow(loopAudio_);
    layout->addRow(randomTransition_);
    layout->addRow(randomImageEffect_);
    const auto withSeconds = [page](QComboBox* list) {
        auto* row = new QWidget(page);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->addWidget(list);
        rowLayout->addWidget(new QLabel(tr("Seconds"), row));
        rowLayout->addStretch();
        return row;
    };
    photoDuration_ = secondsList(kLongestPhotoListSeconds, page);
    photoDuration_->setObjectName(QStringLiteral("photoDuration"));
    transitionDuration_ = secondsList(kLongestTransitionListSeconds, page);
    transitionDuration_->setObjectName(QStringLiteral("transitionDuration"));
    layout->addRow(tr("Photo Duration:"), withSeconds(photoDuration_));
    layout->addRow(tr("Transition Duration:"), withSeconds(transitionDuration_));
    return page;
}

void SettingsDialog::showPreferences() {
    const Preferences& preferences = parts_.app.preferences;
    folder_->setText(QString::fromStdString(parts_.app.project.folders().working.string()));
    countries_->setCurrentIndex(countryRow(preferences.nationName));
    (preferences.useNation ? byCountry_ : specificSystem_)->setChecked(true);
    useCountry(preferences.useNation);
    (preferences.nationTvStandard == TvStandard::Ntsc ? ntsc_ : pal_)->setChecked(true);
    (preferences.aspectRatio == AspectRatio::Wide ? wideAspect_ : standardAspect_)
        ->setChecked(true);
    loopAudio_->setChecked(preferences.loopAudio);
    randomTransition_->setChecked(preferences.randomTransition);
    randomImageEffect_->setChecked(preferences.randomImageEffect);
    selectSeconds(photoDuration_, preferences.defaults.effect.displayTime);
    selectSeconds(transitionDuration_, preferences.defaults.effect.transitionTime);
}

void SettingsDialog::chooseFolder() {
    const std::optional<std::filesystem::path> folder = parts_.fileDialogs.chooseFolder(
        "Please select a destination folder", folder_->text().toStdString());
    if (folder) folder_->setText(QString::fromStdString(folder->string()));
}

void SettingsDialog::useCountry(bool byCountry) {
    countries_->setEnabled(byCountry);
    ntsc_->setEnabled(!byCountry);
    pal_->setEnabled(!byCountry);
}

void SettingsDialog::countryChosen(int row) {
    if (row < 0 || row >= int(nationTable().size())) return;
    const bool isNtsc = nationTable()[size_t(row)].tvStandard == TvStandard::Ntsc;
    (isNtsc ? ntsc_ : pal_)->setChecked(true);
}

void SettingsDialog::save() {
    SettingsChoice choice;
    choice.workingFolder = folder_->text().trimmed().toStdString();
    choice.useNation = byCountry_->isChecked();
    choice.nationName = countries_->currentText().toStdString();
    choice.ntsc = ntsc_->isChecked();
    if (standardAspect_->isChecked()) choice.aspectRatio = AspectRatio::Standard;
    if (wideAspect_->isChecked()) choice.aspectRatio = AspectRatio::Wide;
    choice.loopAudio = loopAudio_->isChecked();
    choice.randomTransition = randomTransition_->isChecked();
    choice.randomImageEffect = randomImageEffect_->isChecked();
    choice.displayTime = photoDuration_->currentData().toInt();
    choice.transitionTime = transitionDuration_->currentData().toInt();
    Application& app = parts_.app;
    const SettingsSaveResult result =
        saveSettings(choice, app.project, app.preferences, app.preferencesFile, app.random);
    if (!result.folderMoved)
        parts_.notifier.show("The folder " + quotedPath(choice.workingFolder) +
                                 " cannot be used for Velmora's working files; they stay in " +
                                 quotedPath(app.project.folders().working) + ".",
                             "Settings", NotifierIcon::Warning);
    if (result.displayTimeRolledBack)
        selectSeconds(photoDuration_, app.preferences.defaults.effect.displayTime);
    accept();
}

}  // namespace velmora
