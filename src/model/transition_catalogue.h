#pragma once

#include <array>
#include <memory>
#include <string_view>

#include "model/transition_setting.h"

namespace velmora {

class MarkupDocument;

// One configured transition object per kind plus Random: the list the effects
// tab offers and the preference file keeps. Entry 0 is Random, entry id + 1
// is kind id. Whatever happens, the catalogue always holds all 19 entries.
class TransitionCatalogue {
  public:
    static constexpr int kEntryCount = kTransitionKindCount;

    TransitionCatalogue();

    void resetDefaults();

    TransitionSetting& entry(int index) { return *entries_.at(static_cast<size_t>(index)); }
    const TransitionSetting& entry(int index) const {
        return *entries_.at(static_cast<size_t>(index));
    }
    static TransitionKind kindOfEntry(int index);
    // File name of the entry's cover picture in the EffectCover resource folder.
    static std::string_view coverFileName(int index);

    // Writes EFFECT_SETS after the document's current element.
    void save(MarkupDocument& doc) const;
    // Reads the next EFFECT_SETS element. On any fault (no element, a child
    // that fails to load, names no known kind or stands at the wrong place,
    // not exactly 19 entries) the catalogue returns to its defaults and the
    // result is false.
    bool load(MarkupDocument& doc);

  private:
    std::array<std::unique_ptr<TransitionSetting>, kEntryCount> entries_;
};

}  // namespace velmora
