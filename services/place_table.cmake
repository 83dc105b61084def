cmake_minimum_required(VERSION 3.25)
# Writes the table of places that user_place.cpp includes, at build time:
#   cmake -DZONE_TAB=<zone.tab> -DTZDATA_ZI=<tzdata.zi> -DWINDOWS_ZONES=<windowsZones.xml>
#         -DOUTPUT=<file> -P place_table.cmake
# A place for each line of the time zone database's zone.tab, in its order (a country's
# principal zone first), named after the last part of its zone; then each Windows zone and
# territory of CLDR's windowsZones.xml with the place of its first IANA zone. CLDR keeps old
# zone names (Asia/Calcutta), which tzdata.zi's links lead to the names of zone.tab.

file(STRINGS ${ZONE_TAB} zone_lines REGEX "^[A-Z][A-Z]\t")
set(places "")
set(index 0)
# ±DD or ±DDD degrees, then MM minutes and optionally SS seconds, as arcseconds.
function(arcseconds sign degrees minutes seconds out)
  if(seconds STREQUAL "")
    set(seconds 00)
  endif()
  # The leading 1s keep math() from reading zero-padded numbers as octal.
  string(LENGTH "${degrees}" width)
  if(width EQUAL 2)
    math(EXPR degrees "1${degrees} - 100")
  else()
    math(EXPR degrees "1${degrees} - 1000")
  endif()
  math(EXPR value "${sign}(${degrees} * 3600 + (1${minutes} - 100) * 60 + (1${seconds} - 100))")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

foreach(line IN LISTS zone_lines)
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 country)
  list(GET fields 1 coordinates)
  list(GET fields 2 zone)
  if(NOT coordinates MATCHES
     "^([+-])([0-9][0-9])([0-9][0-9])([0-9][0-9])?([+-])([0-9][0-9][0-9])([0-9][0-9])([0-9][0-9])?$")
    message(FATAL_ERROR "zone.tab: unreadable coordinates ${coordinates} of ${zone}")
  endif()
  set(lon_sign ${CMAKE_MATCH_5})
  set(lon_degrees ${CMAKE_MATCH_6})
  set(lon_minutes ${CMAKE_MATCH_7})
  set(lon_seconds "${CMAKE_MATCH_8}")
  arcseconds(${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} "${CMAKE_MATCH_4}" latitude)
  arcseconds(${lon_sign} ${lon_degrees} ${lon_minutes} "${lon_seconds}" longitude)
  string(REGEX REPLACE "^.*/" "" name "${zone}")
  string(REPLACE "_" " " name "${name}")
  string(APPEND places "    {\"${country}\", \"${zone}\", \"${name}\", ${latitude}, ${longitude}},\n")
  set("place_${zone}" ${index})
  math(EXPR index "${index} + 1")
endforeach()

file(STRINGS ${TZDATA_ZI} link_lines REGEX "^L ")
foreach(line IN LISTS link_lines)
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 1 target)
  list(GET fields 2 link)
  set("link_${link}" ${target})
endforeach()

file(STRINGS ${WINDOWS_ZONES} map_lines REGEX "<!-- \\(UTC|<mapZone ")
set(zones "")
set(offset "")
foreach(line IN LISTS map_lines)
  if(line MATCHES "<!-- \\(UTC\\)")
    set(offset 0)
  elseif(line MATCHES "<!-- \\(UTC([+-])([0-9][0-9]):([0-9][0-9])\\)")
    math(EXPR offset "${CMAKE_MATCH_1}((1${CMAKE_MATCH_2} - 100) * 60 + 1${CMAKE_MATCH_3} - 100)")
  elseif(line MATCHES "other=\"([^\"]+)\" territory=\"([^\"]+)\" type=\"([^\" ]+)")
    set(windows_zone "${CMAKE_MATCH_1}")
    set(territory ${CMAKE_MATCH_2})
    set(zone ${CMAKE_MATCH_3})
    if(NOT DEFINED "place_${zone}" AND DEFINED "link_${zone}")
      set(zone "${link_${zone}}")
    endif()
    # Zones of no country (Etc/GMT+12, Etc/UTC) have no place.
    if(DEFINED "place_${zone}")
      string(APPEND zones "    {\"${windows_zone}\", \"${territory}\", ${offset}, ${place_${zone}}},\n")
    endif()
  endif()
endforeach()

file(WRITE ${OUTPUT}.new
  "// Written by services/place_table.cmake from zone.tab, tzdata.zi and windowsZones.xml.\n"
  "const PlaceRow kPlaces[] = {\n${places}};\n"
  "const WindowsZoneRow kWindowsZones[] = {\n${zones}};\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
