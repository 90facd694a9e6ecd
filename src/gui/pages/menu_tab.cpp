#include "gui/pages/menu_tab.h"

namespace velmora {

MenuTab::MenuTab(QWidget* parent) : Page(parent) {
    showComingLine(tr("Here you will choose the look of your DVD menu and edit its texts."));
}

}  // namespace velmora
