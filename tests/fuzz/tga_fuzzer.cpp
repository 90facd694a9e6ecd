// Feeds arbitrary bytes to the TGA decoder; see own_decoder_fuzzing.h for
// what is checked.

#include "fuzz/own_decoder_fuzzing.h"
#include "image/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmora::fuzzing::fuzzOwnDecoder(data, size, 18, velmora::tgaSize, velmora::decodeTga,
                                            velmora::fuzzing::Alpha::Allowed);
}
