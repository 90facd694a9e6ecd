#pragma once

// Marks a hot function to be compiled twice, for AVX2 and for any x86-64
// processor, the one to run being picked when the program is loaded.
// ThreadSanitizer cannot run that picking code so early (it is called before
// the sanitizer has started), so its build keeps the plain version only.
#if defined(__SANITIZE_THREAD__)
#define VELMORA_AVX2_CLONES
#else
#define VELMORA_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#endif
