#pragma once

#include <functional>

namespace velmora {

// Runs `compose` on a thread of Qt's global thread pool and waits for it;
// runs it directly when the calling thread already is one.
//
// Qt's raster engine splits every large fill and draw across that pool
// unless the painting thread belongs to it. A render paints a whole canvas
// several times per frame while the encoder keeps the other core busy, and
// there the split costs more than it gains: on two cores a rotating zoom
// frame took 2.1 ms of processor time split and 1.5 ms unsplit, a zoom
// 1.7 ms and 1.2 ms (the slideshow benchmark measures it).
int runOnComposingThread(const std::function<int()>& compose);

}  // namespace velmora
