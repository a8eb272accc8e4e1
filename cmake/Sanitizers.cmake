# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer for the test build.
add_library(smearwell_sanitizers INTERFACE)
if(SMEARWELL_SANITIZE)
  set(_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(smearwell_sanitizers INTERFACE ${_sanitize_flags})
  target_link_options(smearwell_sanitizers INTERFACE ${_sanitize_flags})
endif()
