#include "gui/pages/music_tab.h"

namespace velmora {

MusicTab::MusicTab(QWidget* parent) : Page(parent) {
    showComingLine(
        tr("Here you will choose the music of each slideshow and preview the slideshow with it."));
}

}  // namespace velmora
