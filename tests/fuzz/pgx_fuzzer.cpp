// Feeds arbitrary bytes to the PGX decoder; see own_decoder_fuzzing.h for
// what is checked.

#include "fuzz/own_decoder_fuzzing.h"
#include "image/pgx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return velmora::fuzzing::fuzzOwnDecoder(data, size, size, velmora::pgxSize, velmora::decodePgx);
}
