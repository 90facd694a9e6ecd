#include "gui/pages/effects_tab.h"

namespace velmora {

EffectsTab::EffectsTab(QWidget* parent) : Page(parent) {
    showComingLine(
        tr("Here you will give each picture its display time, motion effect and transition."));
}

}  // namespace velmora
