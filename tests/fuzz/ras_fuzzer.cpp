// Feeds arbitrary bytes to the Sun raster decoder; see own_decoder_fuzzing.h for
// what is checked.

#include "fuzz/own_decoder_fuzzing.h"
#include "image/ras_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmora::fuzzing::fuzzOwnDecoder(data, size, 32, velmora::sunRasterSize,
                                            velmora::decodeSunRaster);
}
