# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# release_date(FORMAT VARIABLE): the release date (SMEARWELL_RELEASE_DATE), at midnight UTC, in
# string(TIMESTAMP)'s FORMAT. Dates follow from the release date alone, never from the day of the build, and are formatted by
# CMake itself (no date program, whose options differ between systems): the release date's time
# stamp, counted in days from 1970-01-01, is what string(TIMESTAMP) formats through
# SOURCE_DATE_EPOCH. Month and day names are the C locale's.
function(release_date format variable)
  if(NOT SMEARWELL_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "SMEARWELL_RELEASE_DATE must be YYYY-MM-DD, not ${SMEARWELL_RELEASE_DATE}")
  endif()
  set(_year ${CMAKE_MATCH_1})
  set(_month ${CMAKE_MATCH_2})
  set(_day ${CMAKE_MATCH_3})
  string(REGEX REPLACE "^0" "" _month "${_month}")  # math() reads no leading zero
  string(REGEX REPLACE "^0" "" _day "${_day}")
  # Days from the civil date, counting years from March so that leap days fall last.
  if(_month LESS_EQUAL 2)
    math(EXPR _year "${_year} - 1")
    math(EXPR _month "${_month} + 9")
  else()
    math(EXPR _month "${_month} - 3")
  endif()
  math(EXPR _era_year "${_year} % 400")
  math(EXPR _day_of_year "(153 * ${_month} + 2) / 5 + ${_day} - 1")
  math(EXPR _day_of_era "${_era_year} * 365 + ${_era_year} / 4 - ${_era_year} / 100 + ${_day_of_year}")
  math(EXPR _epoch "((${_year} / 400) * 146097 + ${_day_of_era} - 719468) * 86400")
  set(_saved "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} ${_epoch})
  string(TIMESTAMP _date "${format}" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${_saved}")
  set(${variable} "${_date}" PARENT_SCOPE)
endfunction()
