#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "model/transition_kind.h"

namespace velmora {

class MarkupDocument;
class RandomSource;
class TransitionSetting;

// One radio button of a settings dialog: the value it stores and its label.
struct ParameterChoice {
    int value;
    std::string_view label;
};

// One parameter of a transition kind: its markup element, the values it may
// take and how it is drawn at random (rand() / divisor + offset, folded into
// [minimum, maximum]).
struct TransitionParameter {
    std::string_view elementName;
    std::span<const ParameterChoice> choices;  // radio buttons; empty for a count or width list
    int minimum;
    int maximum;
    int defaultValue;
    int divisor;
    int offset;
};

// Everything that distinguishes one kind's settings from another's.
struct TransitionDescription {
    TransitionKind kind;
    // Element that wraps the two parameters of a two-parameter kind; empty
    // when the kind has one parameter (written directly) or none.
    std::string_view groupElement;
    std::span<const TransitionParameter> parameters;
};

// Shows the modal settings dialog of a transition: the kind's radio buttons
// and count list, "Default", "Random", "OK" and "Cancel". The desktop program
// implements it; the parameters are written back only on "OK".
class TransitionDialogHost {
  public:
    virtual ~TransitionDialogHost() = default;
    // True when the user chose "OK".
    virtual bool editTransition(TransitionSetting& transition) = 0;
};

// A transition object: a kind and up to two integer parameters. Every picture
// owns one (the transition into it), and the catalogue owns one per kind.
// Parameters are kept inside the kind's valid range whatever is set or
// loaded, so the renderers never see a width of 0 or a blind count of 500.
class TransitionSetting {
  public:
    virtual ~TransitionSetting() = default;
    TransitionSetting(const TransitionSetting&) = delete;
    TransitionSetting& operator=(const TransitionSetting&) = delete;

    TransitionKind kind() const { return description_->kind; }
    int id() const { return transitionKindId(kind()); }
    const TransitionDescription& description() const { return *description_; }
    int parameterCount() const { return static_cast<int>(description_->parameters.size()); }

    int firstParameter() const { return first_; }
    int secondParameter() const { return second_; }
    void setParameters(int first, int second = 0);
    void resetDefaults();
    void drawRandom(RandomSource& random);

    // Writes one TRANSITION_EFFECT_SETTING element after the document's
    // current element; the new element is current afterwards.
    virtual void save(MarkupDocument& doc) const;
    // Opens the kind's settings dialog; false for Random, which has none, and
    // when the user cancels.
    virtual bool showSettingsDialog(TransitionDialogHost& host);

  protected:
    explicit TransitionSetting(const TransitionDescription& description);

  private:
    const TransitionDescription* description_;
    int first_ = 0;
    int second_ = 0;
};

// A new object of `kind` with its defaults; kinds 0..18 (Random included).
std::unique_ptr<TransitionSetting> makeTransition(TransitionKind kind);
// A new object of kind 0..17 with a random draw of its parameters; nothing
// for any other id.
std::unique_ptr<TransitionSetting> createTransition(int kindId, RandomSource& random);
// The copy a picture receives. Random resolves to a concrete kind drawn as
// rand() / 1820 (18 folded to 17) with parameters drawn at random; any other
// kind is copied with its parameters.
std::unique_ptr<TransitionSetting> cloneTransition(const TransitionSetting& source,
                                                   RandomSource& random);

enum class TransitionLoadResult { Loaded, UnknownName, Failed };

// Reads the TRANSITION_EFFECT_SETTING element that is the document's current
// element. Loaded: *result holds the object. UnknownName: the NAME is not one
// of the 19 markup names and *result is empty. Failed: a parameter element is
// missing and *result is empty. The position is the same element afterwards.
TransitionLoadResult readTransitionElement(MarkupDocument& doc,
                                           std::unique_ptr<TransitionSetting>* result);

// Finds the next TRANSITION_EFFECT_SETTING element and replaces `owner` by the
// object it describes. False, with the owner unchanged, when there is no such
// element. Otherwise the owner's old object is dropped; a missing parameter
// element leaves the owner empty and gives false, an unknown NAME leaves it
// empty and gives true.
bool loadTransition(MarkupDocument& doc, std::unique_ptr<TransitionSetting>& owner);

}  // namespace velmora
