// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// Marks the few loops that run over every byte of the canvas. Where CMake finds GCC on x86-64
// glibc, such a loop gets an AVX-512 (x86-64-v4) and an AVX2 copy beside the default SSE2 one, and
// the loader picks one at start-up (ifunc): no instruction the processor lacks ever runs.
#pragma once

#if defined(SMEARWELL_VECTOR_CLONES)
#define SMEARWELL_HOT_LOOP [[gnu::target_clones("arch=x86-64-v4", "avx2", "default")]]
#elif defined(SMEARWELL_ONLY_COPY)  // one copy alone, for measuring it: "avx2" or "arch=x86-64-v4"
#define SMEARWELL_HOT_LOOP [[gnu::target(SMEARWELL_ONLY_COPY)]]
#else
#define SMEARWELL_HOT_LOOP
#endif
