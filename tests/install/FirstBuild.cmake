# cmake -DSOURCE_DIR=... -DWORK_DIR=... [-DLAUNCHER=...] -P FirstBuild.cmake
#
# A newcomer's first build: `cmake -S . -B build && cmake --build build`, with
# CMake's default generator rather than the Ninja that `make` chooses. The
# generators differ in what they prepare for a build step (Ninja creates the
# folder of every output, Make does not), so the steps that write files while
# building (the function catalog, the compiled translations) are built here,
# from a clean folder, with the default generator.
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)

set(launcher)
if(LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
# No -G, and no CMAKE_GENERATOR from the environment either: the default.
run(${CMAKE_COMMAND} -E env --unset=CMAKE_GENERATOR
    ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -DNVTARNIX_BUILD_TESTS=OFF ${launcher})

file(STRINGS ${WORK_DIR}/CMakeCache.txt generator REGEX "^CMAKE_GENERATOR:")
if(NOT generator MATCHES "Unix Makefiles")
  message(FATAL_ERROR "expected CMake's default generator, the cache says '${generator}'")
endif()

run(${CMAKE_COMMAND} --build ${WORK_DIR} --target generated_files)

foreach(written src/catalog/functions.xml src/translations/qt_el.qm)
  if(NOT EXISTS ${WORK_DIR}/${written})
    message(FATAL_ERROR "building with the default generator did not write ${written}")
  endif()
endforeach()
file(READ ${WORK_DIR}/src/catalog/functions.xml catalog)
if(NOT catalog MATCHES "<Function name=\"Len\"")
  message(FATAL_ERROR "the function catalog written by the default generator's build names no Len")
endif()
