# Runs "marvo-cli dialogue" with ARGS and checks the exit status EXIT and, when given, the
# standard output and standard error against the files EXPECT_STDOUT and EXPECT_STDERR.
execute_process(COMMAND ${CLI} dialogue ${ARGS}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstderr:\n${err}")
endif()
if(EXPECT_STDOUT)
  file(READ ${EXPECT_STDOUT} expected)
  if(NOT out STREQUAL expected)
    message(FATAL_ERROR "standard output differs from ${EXPECT_STDOUT}:\n${out}")
  endif()
endif()
if(EXPECT_STDERR)
  file(READ ${EXPECT_STDERR} expected)
  if(NOT err STREQUAL expected)
    message(FATAL_ERROR "standard error differs from ${EXPECT_STDERR}:\n${err}")
  endif()
endif()
