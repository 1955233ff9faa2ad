# The version and the date of the latest release, as the changelog's first entry gives them, the
# one place where they are written: read with dpkg-parsechangelog where Debian's tools are
# installed, else by CMake alone, so that a build by hand needs no dpkg. Sets MENGER_VERSION
# (such as 1.0.0) and MENGER_DATE (such as 2026-12-07). Included before project().
set(changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
if(DPKG_PARSECHANGELOG)
  execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${changelog} -S Version
    OUTPUT_VARIABLE MENGER_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${changelog} -S Date
    OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
else()
  # "menger-sponge (1.0.0) unstable; urgency=medium" ... " -- Name <mail>  Mon, 07 Dec 2026 ..."
  file(STRINGS ${changelog} heading LIMIT_COUNT 1)
  string(REGEX REPLACE "^[^ ]+ \\(([^)]+)\\).*" "\\1" MENGER_VERSION "${heading}")
  file(STRINGS ${changelog} trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
endif()

# The date as the changelog writes it ("Mon, 07 Dec 2026 00:00:00 +0000"), as a calendar date.
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
if(NOT date MATCHES "^[A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "${changelog}: no date in the first entry's last line")
endif()
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 101") # 1 to 12, as 101 to 112: two digits after the first
math(EXPR day "${CMAKE_MATCH_1} + 100")
string(SUBSTRING ${month} 1 2 month)
string(SUBSTRING ${day} 1 2 day)
set(MENGER_DATE ${CMAKE_MATCH_3}-${month}-${day})
