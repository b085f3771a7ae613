# Installs the build tree into a scratch prefix, runs the installed geosig on a sample when the
# tool was built, then configures, builds and runs a consumer project that finds the package
# with find_package(GeosigRenders).
set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(status)
  message(FATAL_ERROR "install failed")
endif()
if(SAMPLE)
  # describe reads in a worker process: the installed geosig finds the installed geosig-worker.
  foreach(command fingerprint describe)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=GEOSIG_WORKER "${prefix}/bin/geosig" ${command}
                            "${SAMPLE}" RESULT_VARIABLE status ERROR_VARIABLE failure OUTPUT_QUIET)
    if(status)
      message(FATAL_ERROR "the installed geosig ${command} failed (status ${status}): ${failure}")
    endif()
  endforeach()
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/consumer"
                        "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
                        "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}"
                RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/consumer" RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND "${WORK_DIR}/consumer/consumer" OUTPUT_VARIABLE printed RESULT_VARIABLE status)
if(status OR NOT printed STREQUAL "1 2 3\n")
  message(FATAL_ERROR "consumer printed '${printed}' (status ${status})")
endif()
