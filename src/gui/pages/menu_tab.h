#pragma once

#include "gui/pages/page.h"

namespace velmora {

// The DVD menu page: themes, the menu editor and the menu preview.
class MenuTab final : public Page {
    Q_OBJECT
  public:
    explicit MenuTab(QWidget* parent = nullptr);

    // Brings the menu pages up to date with the slideshows before the
    // project is saved or another page is shown. The menu editor of this
    // page does it (menu_preparation's regeneration on its theme); until
    // the page holds it, the window has no menu of its own to refresh.
    void refreshMenu() {}
};

}  // namespace velmora
