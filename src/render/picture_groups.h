#pragma once

#include <vector>

namespace velmora {

// Where the groups of pictures of one segment (one picture's frames) begin,
// counted from the segment's first frame: as few groups as the longest
// allowed group permits, of equal length (they differ by a frame at most).
// A DVD chapter can only start on a group that dvdauthor makes a VOBU of,
// and it joins a group shorter than the shortest VOBU (0.4 s) to the next
// one; cut by the encoder's count alone, the last group before a picture
// could be 6 or 10 frames and its picture's chapter would start that much
// early. Segments of whole seconds give groups of at least 12 frames PAL
// (0.48 s) and 15 NTSC (0.5 s). Nothing for a segment without frames.
std::vector<int> groupStarts(int segmentFrames, int maxGroupFrames);

}  // namespace velmora
