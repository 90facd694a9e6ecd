#pragma once

#include "gui/pages/page.h"

namespace velmora {

// The burn page: making the DVD and writing it.
class BurnTab final : public Page {
    Q_OBJECT
  public:
    explicit BurnTab(QWidget* parent = nullptr);
};

}  // namespace velmora
