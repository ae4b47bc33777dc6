# Runs "marvo-cli check" with ARGS in this folder and compares the exit status with EXIT and the
# standard output with the file EXPECT_STDOUT.
execute_process(COMMAND ${CLI} check ${ARGS} WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
file(READ ${CMAKE_CURRENT_LIST_DIR}/${EXPECT_STDOUT} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "standard output differs from ${EXPECT_STDOUT}:\n${out}")
endif()
