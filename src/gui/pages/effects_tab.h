#pragma once

#include "gui/pages/page.h"

namespace velmora {

// The effects page: the picture strip, the transitions and their preview.
class EffectsTab final : public Page {
    Q_OBJECT
  public:
    explicit EffectsTab(QWidget* parent = nullptr);
};

}  // namespace velmora
