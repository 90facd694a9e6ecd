#include "audio/multiplexing.h"

#include "interfaces/multiplexer_library.h"

namespace velmora {

int multiplexStream(const MuxJob& job, MultiplexerLibrary* multiplexer) {
    // The multiplexer is linked in; "cannot be loaded" is a build without one.
    if (multiplexer == nullptr) return 1;
    return multiplexer->Mplex(job.videoPath, job.audioPath, job.outputPath);
}

}  // namespace velmora
