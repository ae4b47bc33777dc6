# Runs "marvo-cli graph" with ARGS in the source tree and checks the exit status (EXIT) and that
# standard output holds STDOUT and standard error ERR (each may be empty).
execute_process(COMMAND ${CLI} graph ${ARGS} WORKING_DIRECTORY ${SOURCE}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(STDOUT)
  string(FIND "${out}" "${STDOUT}" at)
  if(at LESS 0)
    message(FATAL_ERROR "standard output lacks \"${STDOUT}\":\n${out}")
  endif()
endif()
if(ERR)
  string(FIND "${err}" "${ERR}" at)
  if(at LESS 0)
    message(FATAL_ERROR "standard error lacks \"${ERR}\":\n${err}")
  endif()
endif()
