#include "gui/transition_settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/transition_kind.h"

namespace velmora {

namespace {

// What each parameter is called on screen. The model names parameters only
// by their markup elements, which are no words for a user.
struct ParameterCaptions {
    TransitionKind kind;
    const char* first;
    const char* second;
};

constexpr ParameterCaptions kCaptions[] = {
    {TransitionKind::Alpha, "Fade", nullptr},
    {TransitionKind::Accordion, "Direction", nullptr},
    {TransitionKind::Blinds, "Direction", "Number of blinds"},
    {TransitionKind::Circle, "Direction", "Edge width"},
    {TransitionKind::Clock, "Fingers", "Smooth"},
    {TransitionKind::CubeFly, "Direction", nullptr},
    {TransitionKind::DiagonalSweep, "Direction", "Edge width"},
    {TransitionKind::Door, "Door", nullptr},
    {TransitionKind::Flip, "Flip", nullptr},
    {TransitionKind::Fly, "Direction", nullptr},
    {TransitionKind::Polygon, "Number of corners", "Direction"},
    {TransitionKind::RotateIn, "Rotation", nullptr},
    {TransitionKind::Shutter, "Direction", "Width"},
    {TransitionKind::Spin, "Rotation", nullptr},
    {TransitionKind::Sweep, "Direction", "Edge width"},
    {TransitionKind::Twist, "Direction", nullptr},
    {TransitionKind::Wipe, "Direction", "Push"},
    {TransitionKind::Zoom, "Zoom", nullptr},
};

QString caption(TransitionKind kind, int index) {
    for (const ParameterCaptions& captions : kCaptions) {
        if (captions.kind != kind) continue;
        const char* text = index == 0 ? captions.first : captions.second;
        return text ? TransitionSettingsDialog::tr(text) : QString();
    }
    return {};
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const char* const kParameterNames[] = {"firstParameter", "secondParameter"};

}  // namespace

TransitionSettingsDialog::TransitionSettingsDialog(const TransitionSetting& transition,
                                                   RandomSource& random, QWidget* parent)
    : QDialog(parent), working_(makeTransition(transition.kind())), random_(random) {
    working_->setParameters(transition.firstParameter(), transition.secondParameter());
    setWindowTitle(fromView(transitionKindInfo(transition.kind()).dialogTitle));
    auto* layout = new QVBoxLayout(this);
    const auto& parameters = working_->description().parameters;
    for (size_t i = 0; i < parameters.size() && i < controls_.size(); ++i) {
        const TransitionParameter& parameter = parameters[i];
        layout->addWidget(parameter.choices.empty() ? buildNumberList(parameter, int(i))
                                                    : buildChoiceGroup(parameter, int(i)));
    }
    layout->addSpacing(layout->spacing());  // a double gap sets the buttons apart
    layout->addWidget(buildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);  // nothing in it grows usefully
    showWorkingValues();
    focusFirstControl();
}

TransitionSettingsDialog::~TransitionSettingsDialog() = default;

QWidget* TransitionSettingsDialog::buildChoiceGroup(const TransitionParameter& parameter,
                                                    int index) {
    auto* box = new QGroupBox(caption(working_->kind(), index), this);
    box->setObjectName(QString::fromLatin1(kParameterNames[index]));
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (const ParameterChoice& choice : parameter.choices) {
        auto* radio = new QRadioButton(fromView(choice.label), box);
        group->addButton(radio, choice.value);
        column->addWidget(radio);
    }
    controls_[size_t(index)].radios = group;
    return box;
}

QWidget* TransitionSettingsDialog::buildNumberList(const TransitionParameter& parameter,
                                                   int index) {
    auto* row = new QWidget(this);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    const QString name = caption(working_->kind(), index);
    auto* label = new QLabel(QLatin1Char('&') + name + QLatin1Char(':'), row);
    auto* list = new QComboBox(row);
    list->setObjectName(QString::fromLatin1(kParameterNames[index]));
    list->setAccessibleName(name);
    label->setBuddy(list);
    for (int value = parameter.minimum; value <= parameter.maximum; ++value)
        list->addItem(QString::number(value));
    // Eighty entries would fill the screen; a screenful of numbers is enough.
    list->setMaxVisibleItems(12);
    line->addWidget(label);
    line->addWidget(list);
    line->addStretch(1);
    controls_[size_t(index)].list = list;
    controls_[size_t(index)].minimum = parameter.minimum;
    return row;
}

QWidget* TransitionSettingsDialog::buildButtons() {
    auto* row = new QWidget(this);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    auto* defaults = new QPushButton(tr("&Default"), row);
    defaults->setObjectName(QStringLiteral("defaultButton"));
    auto* random = new QPushButton(tr("&Random"), row);
    random->setObjectName(QStringLiteral("randomButton"));
    // OK and Cancel in the desktop's order, set apart from the two buttons
    // that only change the controls.
    auto* closing = new QDialogButtonBox(row);
    QPushButton* ok = closing->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    closing->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    line->addWidget(defaults);
    line->addWidget(random);
    line->addSpacing(3 * fontMetrics().averageCharWidth());
    line->addStretch(1);
    line->addWidget(closing);
    connect(defaults, &QPushButton::clicked, this, &TransitionSettingsDialog::useDefaults);
    connect(random, &QPushButton::clicked, this, &TransitionSettingsDialog::drawRandom);
    connect(closing, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(closing, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return row;
}

void TransitionSettingsDialog::showWorkingValues() {
    const int values[2] = {working_->firstParameter(), working_->secondParameter()};
    for (size_t i = 0; i < controls_.size(); ++i) {
        const ParameterControl& control = controls_[i];
        if (control.radios) {
            if (QAbstractButton* radio = control.radios->button(values[i])) radio->setChecked(true);
        } else if (control.list) {
            control.list->setCurrentIndex(values[i] - control.minimum);
        }
    }
}

// The focus starts on the first parameter's current value: left to the
// focus chain, it would sit on the first radio button, checked or not, and a
// Space would change the choice.
void TransitionSettingsDialog::focusFirstControl() {
    const ParameterControl& control = controls_[0];
    QWidget* first = control.list;
    if (control.radios) first = control.radios->checkedButton();
    if (first) first->setFocus();
}

int TransitionSettingsDialog::controlValue(int index) const {
    const ParameterControl& control = controls_[size_t(index)];
    if (control.radios) return control.radios->checkedId();
    if (control.list) return control.list->currentIndex() + control.minimum;
    return 0;
}

void TransitionSettingsDialog::useDefaults() {
    working_->resetDefaults();
    showWorkingValues();
}

void TransitionSettingsDialog::drawRandom() {
    working_->drawRandom(random_);
    showWorkingValues();
}

bool TransitionSettingsDialog::applyChoice(const TransitionSettingsDialog& dialog,
                                           TransitionSetting& transition) {
    if (dialog.result() != QDialog::Accepted) return false;
    transition.setParameters(dialog.first(), dialog.second());
    return true;
}

QtTransitionDialogHost::QtTransitionDialogHost(RandomSource& random, QWidget* parent)
    : random_(random), parent_(parent) {}

bool QtTransitionDialogHost::editTransition(TransitionSetting& transition) {
    TransitionSettingsDialog dialog(transition, random_, parent_);
    dialog.exec();
    return TransitionSettingsDialog::applyChoice(dialog, transition);
}

}  // namespace velmora
