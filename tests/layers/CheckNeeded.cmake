# cmake -DPROGRAM=tarnix -DREADELF=readelf -DFORBIDDEN=Qt6Gui,Qt6Widgets -P CheckNeeded.cmake
#
# A program that must start without some libraries does not name them among
# the libraries it needs: `tarnix apply` and `tarnix eval` load no Qt GUI,
# whatever module the program comes to link.

cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${READELF} --dynamic ${PROGRAM}
                OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${READELF} could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]*\\]" needed "${dynamic}")
if(NOT needed)
  message(FATAL_ERROR "${PROGRAM} names no library it needs: not a program linked as expected")
endif()
string(REPLACE "," ";" forbidden "${FORBIDDEN}")
set(found "")
foreach(line IN LISTS needed)
  foreach(library IN LISTS forbidden)
    if(line MATCHES "\\[lib${library}\\.")
      list(APPEND found ${library})
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "${PROGRAM} needs ${found}, which it must start without")
endif()
list(LENGTH needed count)
message(STATUS "${PROGRAM}: ${count} libraries needed, none of ${FORBIDDEN}")
