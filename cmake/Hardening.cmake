# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Hardening, as distributions build their packages: the stack protector, fortified C library calls,
# relocations read-only and bound at start-up, stack clash and control-flow protection. Linked by
# the core library, so the program and everything built from the same objects carry it. Left out
# of sanitizer and fuzzing builds, whose runtimes check more and replace FORTIFY's wrappers, and of
# Debug builds, where FORTIFY has no optimiser to work with.
include(CheckCXXCompilerFlag)
add_library(smearwell_hardening INTERFACE)
option(SMEARWELL_HARDENING "Build with the system's hardening flags" ON)

# Debian's own: what dpkg-buildflags adds with hardening=+all to a build with hardening=-all, so
# the list follows the distribution. Elsewhere the same core set.
function(smearwell_hardening_flags compile_variable link_variable)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DPKG_BUILDFLAGS OR CMAKE_CROSSCOMPILING AND WIN32)
    set(${compile_variable} -fstack-protector-strong -D_FORTIFY_SOURCE=2 PARENT_SCOPE)
    set(${link_variable} -fstack-protector-strong $<$<NOT:$<BOOL:${WIN32}>>:-Wl,-z,relro,-z,now> PARENT_SCOPE)
    return()
  endif()
  foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
    foreach(_setting +all -all)
      execute_process(COMMAND env DEB_BUILD_MAINT_OPTIONS=hardening=${_setting} ${DPKG_BUILDFLAGS} --get ${_kind}
                      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      separate_arguments(_${_kind}${_setting} UNIX_COMMAND "${_flags}")
    endforeach()
    set(_added ${_${_kind}+all})
    list(REMOVE_ITEM _added ${_${_kind}-all})
    set(_${_kind} ${_added})
  endforeach()
  set(${compile_variable} ${_CPPFLAGS} ${_CXXFLAGS} PARENT_SCOPE)
  set(${link_variable} ${_LDFLAGS} PARENT_SCOPE)
endfunction()

if(SMEARWELL_HARDENING AND NOT SMEARWELL_SANITIZE)
  smearwell_hardening_flags(_compile _link)
  # dpkg before 1.22 (Debian 12's) does not yet add these two, which hardening-check asks for.
  foreach(_flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "SMEARWELL_HAS${_flag}" _known)
    if(NOT WIN32 AND NOT _flag IN_LIST _compile)
      check_cxx_compiler_flag(${_flag} ${_known})
      if(${_known})
        list(APPEND _compile ${_flag})
      endif()
    endif()
  endforeach()
  set(_optimised $<NOT:$<CONFIG:Debug>>)
  target_compile_options(smearwell_hardening INTERFACE "$<${_optimised}:${_compile}>")
  target_link_options(smearwell_hardening INTERFACE "$<${_optimised}:${_link}>")
  message(STATUS "Hardening: ${_compile} ${_link}")
endif()
