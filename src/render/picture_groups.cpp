#include "render/picture_groups.h"

#include <cstdint>

namespace velmora {

std::vector<int> groupStarts(int segmentFrames, int maxGroupFrames) {
    std::vector<int> starts;
    if (segmentFrames <= 0 || maxGroupFrames <= 0) return starts;
    const int groups = (segmentFrames + maxGroupFrames - 1) / maxGroupFrames;
    for (int i = 0; i < groups; ++i)
        starts.push_back(int(int64_t(i) * segmentFrames / groups));
    return starts;
}

}  // namespace velmora
