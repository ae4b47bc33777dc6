# marvo-cli play's exit statuses, and the location after a message in the plain transcript.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../expect_same_file.cmake)
# Inputs: CLI (marvo-cli), CASES (tests/transcripts), WORK (scratch folder; the games run there).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# expect_status(STATUS NAME args...): plays with no input and checks the exit status.
function(expect_status expected name)
  execute_process(COMMAND ${CLI} play --no-clock ${ARGN}
                  WORKING_DIRECTORY ${WORK} INPUT_FILE /dev/null
                  OUTPUT_FILE ${WORK}/${name}.out ERROR_FILE ${WORK}/${name}.err RESULT_VARIABLE status)
  if(NOT status EQUAL expected)
    message(FATAL_ERROR "${name}: marvo-cli exited with ${status}, expected ${expected}")
  endif()
endfunction()

set(game ${CASES}/turn_cycle/scenario.scn)
expect_status(0 clean ${game})
expect_status(1 missing_scenario ${WORK}/none.scn)
expect_status(1 missing_saved_game --replay ${WORK}/none.sav ${game})
expect_status(1 missing_library --library ${WORK}/none.lib ${game})
expect_status(3 engine_error --library ${CASES}/locations/marvo.lib --replay ${CASES}/locations/input.txt
              ${CASES}/locations/scenario.scn)
# A doubtful scenario is played all the same, with a word on standard error.
file(WRITE ${WORK}/empty.scn "")
expect_status(0 empty_scenario --library /dev/null ${WORK}/empty.scn)
file(READ ${WORK}/empty_scenario.err said)
if(NOT said MATCHES "empty.scn: файл пуст")
  message(FATAL_ERROR "an empty scenario is played without a word: ${said}")
endif()
# A file error outweighs an engine error.
expect_status(1 both --library ${WORK}/none.lib ${CASES}/errors/scenario.scn)

# Without --events the location follows the message on its line.
execute_process(COMMAND ${CLI} play --no-clock --library ${CASES}/locations/marvo.lib ${CASES}/locations/scenario.scn
                WORKING_DIRECTORY ${WORK} INPUT_FILE ${CASES}/locations/input.txt
                OUTPUT_FILE ${WORK}/plain.txt ERROR_FILE ${WORK}/plain.err RESULT_VARIABLE status)
if(NOT status EQUAL 3)
  message(FATAL_ERROR "plain transcript: marvo-cli exited with ${status}, expected 3")
endif()
expect_same_file(${WORK}/plain.txt ${CASES}/locations/expected.txt "the plain transcript")
