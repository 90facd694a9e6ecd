#pragma once

#include <QImage>
#include <QSize>

// The scenes of the sample photographs. Each is painted to fill a picture
// of the size given (Format_RGB32), upright, with the same result for a
// size on every run.

namespace velmora::resources {

// Landscapes and close-ups (scenes_land.cpp).
QImage paintMountainLake(QSize size);  // snowy peaks and pines mirrored in a lake
QImage paintAlpineDawn(QSize size);    // ridge behind ridge in the mist at sunrise
QImage paintForestLight(QSize size);   // rays of sun between trunks over ferns
QImage paintPoppies(QSize size);       // red poppies before a blurred meadow

// The coast and the town (scenes_coast.cpp).
QImage paintSeaSunset(QSize size);   // the sun going down over waves and a cliff
QImage paintBeach(QSize size);       // a palm on a sandy beach under a blue sky
QImage paintLighthouse(QSize size);  // a striped lighthouse on a headland (portrait)
QImage paintCityNight(QSize size);   // a skyline with lit windows over a river

}  // namespace velmora::resources
