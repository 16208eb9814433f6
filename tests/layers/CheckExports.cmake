# cmake -DLIBRARY=libnvtarnix.so -DNM=nm -DHEADERS=<include/nvtarnix> -P CheckExports.cmake
#
# The shared library exports the public API and nothing else: every dynamic
# symbol it defines belongs to a class or function that a header of
# include/nvtarnix declares with NVTARNIX_EXPORT, and each of those is there.

cmake_minimum_required(VERSION 3.25)

# The exported names, as the headers declare them.
set(public_names "")
file(GLOB headers ${HEADERS}/*.h)
foreach(header IN LISTS headers)
  file(READ ${header} text)
  string(REGEX MATCHALL "(class|struct) NVTARNIX_EXPORT [A-Za-z_][A-Za-z0-9_]*" classes "${text}")
  foreach(c IN LISTS classes)
    string(REGEX REPLACE ".* " "" c "${c}")
    list(APPEND public_names ${c})
  endforeach()
  string(REGEX MATCHALL "NVTARNIX_EXPORT [^;{(]* [A-Za-z_][A-Za-z0-9_]*\\(" functions "${text}")
  foreach(f IN LISTS functions)
    string(REGEX REPLACE "^.* ([A-Za-z_][A-Za-z0-9_]*)\\($" "\\1" f "${f}")
    list(APPEND public_names ${f})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES public_names)
if(NOT public_names)
  message(FATAL_ERROR "no header of ${HEADERS} exports anything")
endif()
list(JOIN public_names "|" alternatives)

execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
                RESULT_VARIABLE status OUTPUT_VARIABLE listing ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${err}")
endif()
string(REPLACE "\n" ";" lines "${listing}")

set(strays "")
set(seen "")
foreach(line IN LISTS lines)
  # "<address> <type> <name>"
  if(NOT line MATCHES "^[0-9a-f]+ ([A-Za-z]) (.+)$")
    continue()
  endif()
  set(kind "${CMAKE_MATCH_1}")
  set(symbol "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "^(typeinfo name for|typeinfo for|vtable for|VTT for|non-virtual thunk to|virtual thunk to|guard variable for) " "" name "${symbol}")
  if(name MATCHES "^nvtarnix::(pushdown::)?(${alternatives})(::| ?\\(|$)")
    list(APPEND seen ${CMAKE_MATCH_2})
  elseif(name MATCHES "^std::" OR name MATCHES "^(__bss_start|_edata|_end|_init|_fini|__(start|stop)___sancov_[a-z_]+)$"
         OR (kind MATCHES "^[WVu]$" AND NOT name MATCHES "^nvtarnix::"))
    # The standard library's and Qt's own templates and type descriptions,
    # instantiated here with vague linkage (how many depends on how much the
    # optimiser inlines), and the linker's markers: not ours to hide.
  else()
    list(APPEND strays "${symbol}")
  endif()
endforeach()

if(strays)
  list(LENGTH strays count)
  list(SUBLIST strays 0 40 shown)
  list(JOIN shown "\n  " text)
  message(FATAL_ERROR "${LIBRARY} exports ${count} symbols outside the public API, among them:\n  ${text}")
endif()
foreach(name IN LISTS public_names)
  if(NOT name IN_LIST seen)
    message(FATAL_ERROR "${LIBRARY} does not export ${name}, which a public header declares exported")
  endif()
endforeach()
message(STATUS "${LIBRARY} exports the public API only")
