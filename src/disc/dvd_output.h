#pragma once

#include <filesystem>
#include <string>

namespace velmora {

class Log;

// Why no DVD can be made in `output` with `workingFolder` as the run's
// working folder; empty when one can. Creates the output folder when it is
// missing. Refused: a folder that cannot be made or written, one inside a
// working folder (its cleaning would delete the finished DVD; only the
// working folder's own dvd folder is taken), and a VIDEO_TS or AUDIO_TS
// that is not a folder of its own (a link would send the DVD elsewhere).
std::string dvdOutputProblem(const std::filesystem::path& output,
                             const std::filesystem::path& workingFolder);

// Clears the way for a new DVD in `output`: the DVD files of an earlier
// disc (VIDEO_TS.*, VTS_nn_n.*) go, every other file in VIDEO_TS or
// AUDIO_TS stays and is named in the log.
void removeEarlierDvd(const std::filesystem::path& output, const Log& log);

}  // namespace velmora
