# expect_same_file(ACTUAL EXPECTED WHAT): fails the test script with a unified diff when the two
# files differ. Included by the test scripts that compare marvo-cli output with golden files.
function(expect_same_file actual expected what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${actual} ${expected} RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u ${expected} ${actual} OUTPUT_VARIABLE d)
    message(FATAL_ERROR "${what} differs from ${expected}:\n${d}")
  endif()
endfunction()
