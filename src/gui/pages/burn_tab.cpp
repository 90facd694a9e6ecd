#include "gui/pages/burn_tab.h"

namespace velmora {

BurnTab::BurnTab(QWidget* parent) : Page(parent) {
    showComingLine(tr("Here you will make the DVD folder, an ISO image or a disc."));
}

}  // namespace velmora
