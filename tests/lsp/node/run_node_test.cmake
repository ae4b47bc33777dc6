# Runs the Node client test: installs its packages with `npm ci` into WORK (once per lock file), then
# runs the test there. Skips (prints "SKIP: ") only when node or npm is not installed.
find_program(NODE node)
find_program(NPM npm)
if(NOT NODE OR NOT NPM)
  message("SKIP: node or npm is not installed (scripts/setup installs them)")
  return()
endif()
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${SOURCE}/tests/lsp/node/package.json ${WORK}/package.json ONLY_IF_DIFFERENT)
file(COPY_FILE ${SOURCE}/tests/lsp/node/package-lock.json ${WORK}/package-lock.json ONLY_IF_DIFFERENT)
if(NOT EXISTS ${WORK}/node_modules/.package-lock.json OR ${WORK}/package-lock.json IS_NEWER_THAN
                                                         ${WORK}/node_modules/.package-lock.json)
  execute_process(COMMAND ${NPM} ci --no-audit --no-fund WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "npm ci failed (${status})")
  endif()
endif()
execute_process(COMMAND ${NODE} ${SOURCE}/tests/lsp/node/client_test.mjs ${CLI} ${SOURCE}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Node client test failed (${status})")
endif()
