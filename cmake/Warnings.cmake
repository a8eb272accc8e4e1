# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Warning flags for our own targets, linked PRIVATE so they never leak onto SDL's headers or GoogleTest.
add_library(smearwell_warnings INTERFACE)
target_compile_options(smearwell_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow        # a local hiding a surface or rectangle of the caller is a classic raster bug
  -Wconversion    # pixel values, 16-bit rectangle fields and ints meet everywhere here
  -Wno-sign-conversion  # SDL mixes Uint16 pitch/width with int coordinates; the narrowing cases are what matter
  $<$<BOOL:${SMEARWELL_WERROR}>:-Werror>)
