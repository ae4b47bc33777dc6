# Runs "marvo-cli check --spelling" with ARGS in this folder, with no user dictionary and the
# dictionaries from DICTIONARIES (empty: the installed ones), and compares the exit status with
# EXIT, the standard output with the file EXPECT_STDOUT and, when given, the standard error with
# EXPECT_STDERR (a regular expression).
set(env XDG_DATA_HOME=${WORK}/data HOME=${WORK})
if(DICTIONARIES)
  list(APPEND env MARVO_HUNSPELL_DIR=${DICTIONARIES})
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${env} ${CLI} check --spelling ${ARGS}
                WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
file(READ ${CMAKE_CURRENT_LIST_DIR}/${EXPECT_STDOUT} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "standard output differs from ${EXPECT_STDOUT}:\n${out}")
endif()
if(EXPECT_STDERR AND NOT err MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "standard error does not match ${EXPECT_STDERR}:\n${err}")
endif()
