#pragma once

#include "base/notifier.h"

class QWidget;

namespace velmora {

// The engine's messages and questions as message boxes over the window.
class MessageBoxNotifier final : public Notifier {
  public:
    void setParentWindow(QWidget* window) { window_ = window; }

    void show(std::string_view text, std::string_view title, NotifierIcon icon) override;
    NotifierAnswer ask(std::string_view text, std::string_view title,
                       NotifierButtons buttons) override;

  private:
    QWidget* window_ = nullptr;
};

}  // namespace velmora
