#include "model/transition_catalogue.h"

#include <vector>

#include "base/markup_document.h"

namespace velmora {

namespace {

constexpr std::string_view kCatalogueElement = "EFFECT_SETS";
constexpr std::string_view kSettingElement = "TRANSITION_EFFECT_SETTING";

}  // namespace

TransitionCatalogue::TransitionCatalogue() {
    resetDefaults();
}

TransitionKind TransitionCatalogue::kindOfEntry(int index) {
    return index == 0 ? TransitionKind::Random : static_cast<TransitionKind>(index - 1);
}

std::string_view TransitionCatalogue::coverFileName(int index) {
    return transitionKindInfo(kindOfEntry(index)).coverFile;
}

void TransitionCatalogue::resetDefaults() {
    for (int index = 0; index < kEntryCount; ++index) {
        entries_[static_cast<size_t>(index)] = makeTransition(kindOfEntry(index));
    }
}

void TransitionCatalogue::save(MarkupDocument& doc) const {
    doc.appendElement(kCatalogueElement);
    doc.enter();
    for (const auto& transition : entries_)
        transition->save(doc);
    doc.leave();
}

bool TransitionCatalogue::load(MarkupDocument& doc) {
    if (!doc.findNext(kCatalogueElement)) {
        resetDefaults();
        return false;
    }
    doc.enter();
    std::vector<std::unique_ptr<TransitionSetting>> loaded;
    bool valid = true;
    while (valid && doc.findNext(kSettingElement)) {
        std::unique_ptr<TransitionSetting> transition;
        valid = readTransitionElement(doc, &transition) == TransitionLoadResult::Loaded &&
                loaded.size() < entries_.size() &&
                transition->kind() == kindOfEntry(static_cast<int>(loaded.size()));
        if (valid) loaded.push_back(std::move(transition));
    }
    doc.leave();

    if (!valid || loaded.size() != entries_.size()) {
        resetDefaults();
        return false;
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        entries_[i] = std::move(loaded[i]);
    return true;
}

}  // namespace velmora
