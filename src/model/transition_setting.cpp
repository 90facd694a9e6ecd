#include "model/transition_setting.h"

#include <algorithm>
#include <string>

#include "base/decimal_text.h"
#include "base/markup_document.h"
#include "base/random_generator.h"

namespace velmora {

namespace {

constexpr std::string_view kSettingElement = "TRANSITION_EFFECT_SETTING";
constexpr std::string_view kNameAttribute = "NAME";

int clampTo(const TransitionParameter& parameter, int value) {
    return std::clamp(value, parameter.minimum, parameter.maximum);
}

}  // namespace

TransitionSetting::TransitionSetting(const TransitionDescription& description)
    : description_(&description) {
    resetDefaults();
}

void TransitionSetting::setParameters(int first, int second) {
    const auto& specs = description_->parameters;
    first_ = specs.size() > 0 ? clampTo(specs[0], first) : 0;
    second_ = specs.size() > 1 ? clampTo(specs[1], second) : 0;
}

void TransitionSetting::resetDefaults() {
    const auto& specs = description_->parameters;
    first_ = specs.size() > 0 ? specs[0].defaultValue : 0;
    second_ = specs.size() > 1 ? specs[1].defaultValue : 0;
}

void TransitionSetting::drawRandom(RandomSource& random) {
    int values[2] = {0, 0};
    int i = 0;
    for (const TransitionParameter& parameter : description_->parameters) {
        values[i++] = drawInRange(random, parameter.divisor, parameter.offset, parameter.minimum,
                                  parameter.maximum);
    }
    first_ = values[0];
    second_ = values[1];
}

void TransitionSetting::save(MarkupDocument& doc) const {
    doc.appendElement(kSettingElement);
    doc.setAttribute(doc.currentIndex(), kNameAttribute, transitionKindInfo(kind()).markupName);
    const auto& specs = description_->parameters;
    const int values[2] = {first_, second_};
    const bool grouped = !description_->groupElement.empty();
    if (grouped) {
        doc.appendChild(description_->groupElement);
        doc.enter();
    }
    for (size_t i = 0; i < specs.size(); ++i) {
        doc.appendChild(specs[i].elementName, std::to_string(values[i]));
    }
    if (grouped) doc.leave();
}

bool TransitionSetting::showSettingsDialog(TransitionDialogHost& host) {
    if (description_->parameters.empty()) return false;
    return host.editTransition(*this);
}

std::unique_ptr<TransitionSetting> createTransition(int kindId, RandomSource& random) {
    if (kindId < 0 || kindId >= kConcreteTransitionKindCount) return nullptr;
    auto transition = makeTransition(static_cast<TransitionKind>(kindId));
    transition->drawRandom(random);
    return transition;
}

std::unique_ptr<TransitionSetting> cloneTransition(const TransitionSetting& source,
                                                   RandomSource& random) {
    if (source.kind() == TransitionKind::Random) {
        const int kindId = drawInRange(random, 1820, 0, 0, kConcreteTransitionKindCount - 1);
        return createTransition(kindId, random);
    }
    auto copy = makeTransition(source.kind());
    copy->setParameters(source.firstParameter(), source.secondParameter());
    return copy;
}

namespace {

// Reads the parameter elements inside the current TRANSITION_EFFECT_SETTING
// element and leaves the position on that element again.
bool readTransitionParameters(MarkupDocument& doc, TransitionSetting& transition) {
    const TransitionDescription& description = transition.description();
    if (description.parameters.empty()) return true;
    const bool grouped = !description.groupElement.empty();

    const int settingIndex = doc.currentIndex();
    doc.enter();
    int values[2] = {0, 0};
    bool complete = !grouped || (doc.findNext(description.groupElement) && doc.enter());
    for (size_t i = 0; complete && i < description.parameters.size(); ++i) {
        const TransitionParameter& parameter = description.parameters[i];
        complete = doc.findNext(parameter.elementName);
        if (complete) values[i] = decimalValue(doc.currentText());
    }
    // Back to the setting element, from whichever depth the reading stopped at.
    while (doc.currentIndex() != settingIndex && doc.leave()) {
    }
    if (complete) transition.setParameters(values[0], values[1]);
    return complete;
}

}  // namespace

TransitionLoadResult readTransitionElement(MarkupDocument& doc,
                                           std::unique_ptr<TransitionSetting>* result) {
    result->reset();
    const std::string name = doc.attribute(kNameAttribute);
    for (int id = 0; id < kTransitionKindCount; ++id) {
        const auto kind = static_cast<TransitionKind>(id);
        if (transitionKindInfo(kind).markupName != name) continue;
        auto transition = makeTransition(kind);
        if (!readTransitionParameters(doc, *transition)) return TransitionLoadResult::Failed;
        *result = std::move(transition);
        return TransitionLoadResult::Loaded;
    }
    return TransitionLoadResult::UnknownName;
}

bool loadTransition(MarkupDocument& doc, std::unique_ptr<TransitionSetting>& owner) {
    if (!doc.findNext(kSettingElement)) return false;
    return readTransitionElement(doc, &owner) != TransitionLoadResult::Failed;
}

}  // namespace velmora
