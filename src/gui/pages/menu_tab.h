#pragma once

#include "gui/pages/page.h"

namespace velmora {

// The DVD menu page: themes, the menu editor and the menu preview.
class MenuTab final : public Page {
    Q_OBJECT
  public:
    explicit MenuTab(QWidget* parent = nullptr);

    // Brings the menu pages up to date with the slideshows before the
    // project is saved or another page is shown. The menu editor, when
    // it comes, regenerates the pages here; until then the build makes a
    // stale menu again from its theme.
    void refreshMenu() {}
};

}  // namespace velmora
