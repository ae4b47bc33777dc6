# Builds a map file, exports it with marvo-cli export-map, and plays the export with
# marvo-cli play --events --no-clock, comparing the events with expected.jsonl.
# Inputs: CLI (marvo-cli), CASE (case folder), WORK (scratch folder).
# The case folder holds:
#   map.txt        one map entry a line, in file order: "CELL ROW COL NAME" or "DESC K TEXT"
#                  (ASCII text, so the map file needs no conversion)
#   export-args.txt  export-map options, one a line (optional)
#   input.txt      the player's inputs; expected.jsonl the events
#   expected-export.txt, expected-stderr.txt  what export-map prints (optional)
include(${CMAKE_CURRENT_LIST_DIR}/../expect_same_file.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# The map file: 9801 cell lines, then 10100 description lines, each ended by CR LF.
file(STRINGS ${CASE}/map.txt entries ENCODING UTF-8)
set(map "")
set(next 0)
foreach(entry IN LISTS entries)
  if(entry MATCHES "^CELL ([0-9]+) ([0-9]+) (.*)$")
    math(EXPR line "(${CMAKE_MATCH_1} - 1) * 99 + ${CMAKE_MATCH_2} - 1")
  elseif(entry MATCHES "^DESC ([0-9]+) (.*)$")
    math(EXPR line "9801 + ${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "map.txt: cannot read '${entry}'")
  endif()
  set(text "${CMAKE_MATCH_${CMAKE_MATCH_COUNT}}")
  if(line LESS next)
    message(FATAL_ERROR "map.txt: entries must be in file order ('${entry}')")
  endif()
  math(EXPR gap "${line} - ${next}")
  string(REPEAT "\r\n" ${gap} blank)
  string(APPEND map "${blank}${text}\r\n")
  math(EXPR next "${line} + 1")
endforeach()
math(EXPR gap "19901 - ${next}")
string(REPEAT "\r\n" ${gap} blank)
string(APPEND map "${blank}")
file(WRITE ${WORK}/case.map "${map}")

set(export_args "")
if(EXISTS ${CASE}/export-args.txt)
  file(STRINGS ${CASE}/export-args.txt export_args ENCODING UTF-8)
endif()
execute_process(COMMAND ${CLI} export-map ${WORK}/case.map ${export_args}
                OUTPUT_FILE ${WORK}/export.txt
                ERROR_FILE ${WORK}/export-stderr.txt
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(READ ${WORK}/export-stderr.txt err)
  message(FATAL_ERROR "export-map exited with ${status}: ${err}")
endif()
foreach(pair "export.txt;expected-export.txt" "export-stderr.txt;expected-stderr.txt")
  list(GET pair 0 actual)
  list(GET pair 1 expected)
  if(EXISTS ${CASE}/${expected})
    expect_same_file(${WORK}/${actual} ${CASE}/${expected} ${actual})
  endif()
endforeach()

# export-map prints UTF-8; a scenario file is Windows-1251 text.
find_program(ICONV iconv REQUIRED)
execute_process(COMMAND ${ICONV} -f UTF-8 -t CP1251
                INPUT_FILE ${WORK}/export.txt
                OUTPUT_FILE ${WORK}/scenario.scn
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "iconv could not convert the export to Windows-1251")
endif()

file(WRITE ${WORK}/empty.lib "")
set(input ${CASE}/input.txt)
if(NOT EXISTS ${input})
  set(input /dev/null)
endif()
execute_process(COMMAND ${CLI} play --events --no-clock --library ${WORK}/empty.lib ${WORK}/scenario.scn
                WORKING_DIRECTORY ${WORK}
                INPUT_FILE ${input}
                OUTPUT_FILE ${WORK}/actual.jsonl
                ERROR_FILE ${WORK}/play-stderr.txt
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(READ ${WORK}/play-stderr.txt err)
  message(FATAL_ERROR "marvo-cli play exited with ${status}: ${err}")
endif()
expect_same_file(${WORK}/actual.jsonl ${CASE}/expected.jsonl "the game")
