#pragma once

#include <QPainter>
#include <QSizeF>

#include "art_tools.h"
#include "theme_art.h"

namespace velmora::resources {

// The pattern of a background (stars, paper flourishes, curtains, leaves,
// clouds, snow or soft round lights). It is painted in the viewer's square
// pixels: `view` is the background's size as seen on the screen.
void paintPattern(QPainter& p, QSizeF view, const BackdropLook& look, Dice& dice);

}  // namespace velmora::resources
