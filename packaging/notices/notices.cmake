# Writes the third-party notices of one build target into one text file:
#   cmake -DPLATFORM=linux|windows|web -DOUT=FILE [-DVERSION=X.Y.Z] -P notices.cmake
# The file holds the target's introduction (intro-PLATFORM.txt: how that build
# links or ships the software, and what the LGPL asks of it), a list of the
# components of components.txt for the target, each component's copyright
# file as Debian gives it, and, for the targets that run outside Debian, the
# licence texts those files refer to in /usr/share/common-licenses.
# Without VERSION, the version is read from the project() of the top-level
# CMakeLists.txt, its one place.
cmake_minimum_required(VERSION 3.25)
set(here ${CMAKE_CURRENT_LIST_DIR})

if(NOT PLATFORM MATCHES "^(linux|windows|web)$")
  message(FATAL_ERROR "notices.cmake: PLATFORM must be linux, windows or web, not '${PLATFORM}'")
endif()
if(NOT OUT)
  message(FATAL_ERROR "notices.cmake: OUT (the file to write) is not set")
endif()
if(NOT VERSION)
  file(READ ${here}/../../CMakeLists.txt top)
  if(NOT top MATCHES "project\\(bramblecourt VERSION ([0-9.]+)")
    message(FATAL_ERROR "notices.cmake: no project version in CMakeLists.txt")
  endif()
  set(VERSION ${CMAKE_MATCH_1})
endif()

set(rule "================================================================================")
file(READ ${here}/intro-${PLATFORM}.txt intro)
string(REPLACE "bramblecourt-VERSION-" "bramblecourt-${VERSION}-" intro "${intro}")
set(head "Third-party software in Bramblecourt ${VERSION} (${PLATFORM})\n${rule}\n\n${intro}\nThe components:\n")
set(body "")
set(referred "")

file(STRINGS ${here}/components.txt lines REGEX "^[^#]")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([^ ]+) +([^ ]+) +([^ ]+) +(.+)$")
    message(FATAL_ERROR "notices.cmake: malformed line in components.txt: ${line}")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(package ${CMAKE_MATCH_2})
  string(REPLACE "," ";" targets ${CMAKE_MATCH_3})
  set(what "${CMAKE_MATCH_4}")
  if(NOT PLATFORM IN_LIST targets)
    continue()
  endif()
  set(copyright ${here}/copyright/${package})
  if(NOT EXISTS ${copyright})
    message(FATAL_ERROR "notices.cmake: ${copyright} is missing (scripts/notices-update)")
  endif()
  math(EXPR count "${count} + 1")
  string(APPEND head "  ${name}: ${what}\n")
  file(READ ${copyright} text)
  string(APPEND body "\n${rule}\n${name}\n"
         "The copyright file of Debian's package ${package}:\n${rule}\n\n${text}")
  string(REGEX MATCHALL "/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]" refs "${text}")
  list(APPEND referred ${refs})
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "notices.cmake: no component for ${PLATFORM} in components.txt")
endif()

# Outside Debian the texts the copyright files point to are not on the
# system, so they come along. GPL and LGPL without a number are Debian's
# names of the latest versions.
if(NOT PLATFORM STREQUAL "linux")
  list(TRANSFORM referred REPLACE ".*/" "")
  list(TRANSFORM referred REPLACE "^GPL$" "GPL-3")
  list(TRANSFORM referred REPLACE "^LGPL$" "LGPL-3")
  list(REMOVE_DUPLICATES referred)
  list(SORT referred)
  foreach(licence IN LISTS referred)
    set(file ${here}/common-licenses/${licence})
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "notices.cmake: ${file} is missing (scripts/notices-update)")
    endif()
    file(READ ${file} text)
    string(APPEND body "\n${rule}\n/usr/share/common-licenses/${licence}\n${rule}\n\n${text}")
  endforeach()
endif()

file(WRITE ${OUT}.tmp "${head}${body}")
file(RENAME ${OUT}.tmp ${OUT})
