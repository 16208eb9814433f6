# cmake -DBUILD_DIR=... -DHOST_SOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=...
#       -DCMAKE_INSTALL_LIBDIR=... -DCMAKE_INSTALL_BINDIR=... -DCMAKE_INSTALL_DATADIR=...
#       -P InstallAndEmbed.cmake
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(installed
        include/nvtarnix/TarnixObject.h
        include/nvtarnix/Expression.h
        include/nvtarnix/Recordset.h
        ${CMAKE_INSTALL_LIBDIR}/cmake/nvTarnix/nvTarnixConfig.cmake
        ${CMAKE_INSTALL_BINDIR}/tarnix
        ${CMAKE_INSTALL_BINDIR}/tarnix-demo
        ${CMAKE_INSTALL_DATADIR}/nvtarnix/sample-schema.xml)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "cmake --install did not put ${installed} in place")
  endif()
endforeach()

# The installed tool runs from the prefix and finds the installed library.
run(${prefix}/${CMAKE_INSTALL_BINDIR}/tarnix convert
    --schema ${prefix}/${CMAKE_INSTALL_DATADIR}/nvtarnix/sample-schema.xml
    --to-database "[Customer.Name] & [Today]")
if(NOT output STREQUAL "[CUST_NAME] & [TODAY]\n")
  message(FATAL_ERROR "installed tarnix convert printed '${output}'")
endif()

run(${CMAKE_COMMAND} -S ${HOST_SOURCE_DIR} -B ${WORK_DIR}/host-build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=RelWithDebInfo)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host-build)
run(${WORK_DIR}/host-build/embedding_host)
if(NOT output MATCHES "accepted: \\[ORD_AMOUNT\\] \\* 2\n")
  message(FATAL_ERROR "the embedding host printed '${output}'")
endif()

run(${WORK_DIR}/host-build/rules_host)
if(NOT output MATCHES "compile error 1002 at 1:14\nmatches: [1-9][0-9]* of 20000\n")
  message(FATAL_ERROR "the rules host printed '${output}'")
endif()
