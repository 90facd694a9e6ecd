// Feeds arbitrary bytes to the PCX decoder; see own_decoder_fuzzing.h for
// what is checked.

#include "fuzz/own_decoder_fuzzing.h"
#include "image/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmora::fuzzing::fuzzOwnDecoder(data, size, 128, velmora::pcxSize, velmora::decodePcx);
}
