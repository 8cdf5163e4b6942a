# Installs the build into a fresh prefix and runs the installed command line: it must find
# its tolerance database in the installed data folder.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
execute_process(COMMAND "${PREFIX}/bin/threadgauge-cli" --diameter 10 --pitch 1.5 --grade 6
                        --position g --gauge 校止-止螺纹塞规 --json
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE_RECURSE "${PREFIX}")
if(NOT status EQUAL 1 OR NOT out MATCHES "\"Text2\": \"9.836\"")
  message(FATAL_ERROR "installed CLI answered ${status}: ${out} ${err}")
endif()
