#pragma once

#include <string_view>

namespace velmora {

enum class NotifierIcon { Information, Warning, Error };
// RestoreDiscard: a Yes/No question whose buttons say "Restore" (Yes) and
// "Discard" (No).
enum class NotifierButtons { YesNo, YesNoCancel, RestoreDiscard };
enum class NotifierAnswer { Yes, No, Cancel };

// How the engine tells the user something or asks a question: message boxes
// in the desktop program, standard error and scripted answers in the
// command-line builder, a recording fake in tests. Questions carry the title
// "Query".
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void show(std::string_view text, std::string_view title, NotifierIcon icon) = 0;
    virtual NotifierAnswer ask(std::string_view text, std::string_view title,
                               NotifierButtons buttons) = 0;
};

}  // namespace velmora
