#pragma once

#include "gui/pages/page.h"

namespace velmora {

// The music and preview page: the slideshow's music list and the slideshow preview.
class MusicTab final : public Page {
    Q_OBJECT
  public:
    explicit MusicTab(QWidget* parent = nullptr);
};

}  // namespace velmora
