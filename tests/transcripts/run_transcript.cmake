# Plays one transcript case through marvo-cli and compares its --events output with expected.jsonl.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../expect_same_file.cmake)
# Inputs: CLI (marvo-cli), CASE (case folder), WORK (scratch folder; the game runs there).
# args.txt, when present, holds more options for play, one a line (UTF-8).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(args play --events --no-clock)
if(EXISTS ${CASE}/marvo.lib)
  list(APPEND args --library ${CASE}/marvo.lib)
endif()
if(EXISTS ${CASE}/args.txt)
  # UTF-8 as on a terminal's command line; without ENCODING, file(STRINGS) drops non-ASCII bytes.
  file(STRINGS ${CASE}/args.txt extra ENCODING UTF-8)
  foreach(a ${extra})
    string(REPLACE "@CASE@" "${CASE}" a "${a}")
    string(REPLACE "@WORK@" "${WORK}" a "${a}")
    list(APPEND args "${a}")
  endforeach()
endif()
set(input ${CASE}/input.txt)
if(NOT EXISTS ${input})
  set(input /dev/null)
endif()
execute_process(COMMAND ${CLI} ${args} ${CASE}/scenario.scn
                WORKING_DIRECTORY ${WORK}
                INPUT_FILE ${input}
                OUTPUT_FILE ${WORK}/actual.jsonl
                ERROR_FILE ${WORK}/stderr.txt
                RESULT_VARIABLE status)
# status.txt, when present, holds the expected exit status (3 after an engine error).
set(expected_status 0)
if(EXISTS ${CASE}/status.txt)
  file(STRINGS ${CASE}/status.txt expected_status LIMIT_COUNT 1)
endif()
if(NOT status EQUAL expected_status)
  file(READ ${WORK}/stderr.txt err)
  message(FATAL_ERROR "marvo-cli exited with ${status}, expected ${expected_status}: ${err}")
endif()
expect_same_file(${WORK}/actual.jsonl ${CASE}/expected.jsonl "the transcript")
