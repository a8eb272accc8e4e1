// SPDX-FileCopyrightText: 2026 The Smearwell developers
//
// SPDX-License-Identifier: Zlib

// Marks the few loops that run over every byte of the canvas. Where CMake finds GCC on x86-64
// glibc, such a loop gets an AVX2 copy beside the default SSE2 one, and the loader picks one at
// start-up (ifunc): no instructions the machine lacks ever run.
#pragma once

#ifdef SMEARWELL_AVX2_CLONES
#define SMEARWELL_HOT_LOOP [[gnu::target_clones("avx2", "default")]]
#else
#define SMEARWELL_HOT_LOOP
#endif
