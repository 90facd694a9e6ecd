#pragma once

namespace velmora {

class RenderContext;
class AlphaTransition;

// Alpha: the new picture, moving, fades in over the frozen old frame, or
// the old frame fades to white or black and the new picture fades in from it.
int runAlphaTransition(RenderContext& context, const AlphaTransition& setting);

}  // namespace velmora
