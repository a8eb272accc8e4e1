# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Building Smearwell for the browser with Debian's Emscripten and Emscripten's own SDL 1.2, a
# JavaScript library that emcc links in (./scripts/web uses this file).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# SDL 1.2 through pkg-config, as everywhere: a module file of our own for Emscripten's SDL, whose
# headers lie in Emscripten's system root. Nothing else is looked up through pkg-config there.
# Written once, in the build folder: CMake reads this file again for every check it compiles, in
# folders of their own that it then deletes.
if(NOT DEFINED ENV{SMEARWELL_WEB_PKGCONFIG})
  set(ENV{SMEARWELL_WEB_PKGCONFIG} ${CMAKE_BINARY_DIR}/pkgconfig)
  file(WRITE $ENV{SMEARWELL_WEB_PKGCONFIG}/sdl.pc "Name: sdl
Description: Emscripten's SDL 1.2
Version: 1.2.15
Cflags: -I${EMSCRIPTEN_SYSROOT}/include/SDL
Libs:
")
  set(ENV{PKG_CONFIG_LIBDIR} $ENV{SMEARWELL_WEB_PKGCONFIG})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()

# The distributions' hardening flags defend native code (stack canaries, read-only relocations);
# WebAssembly keeps its stack and code out of the program's memory, and its linker knows none of
# them.
set(SMEARWELL_HARDENING OFF CACHE BOOL "Build with the system's hardening flags")

# WebAssembly SIMD: the filters' loops over the canvas vectorise with it (clang's loop-vectorize
# report shows the invert's row and the convolution's byte lanes, 16 and 8 lanes wide), as they do
# with SSE2 on x86-64. Every current browser runs it.
set(CMAKE_CXX_FLAGS_INIT -msimd128)
set(CMAKE_EXE_LINKER_FLAGS_INIT -msimd128)
