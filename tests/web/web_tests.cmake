# Tests of the web build (included by web/CMakeLists.txt): the golden transcripts through Node.
find_program(NODE node REQUIRED)
file(GLOB transcript_cases LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/transcripts/*)
foreach(case_dir ${transcript_cases})
  if(IS_DIRECTORY ${case_dir})
    if(NOT EXISTS ${case_dir}/expected.jsonl)
      message(FATAL_ERROR "${case_dir}: a case folder without expected.jsonl")
    endif()
    get_filename_component(case ${case_dir} NAME)
    add_test(NAME web.transcript.${case}
             COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/run_transcript.mjs ${CMAKE_CURRENT_BINARY_DIR} ${case_dir})
  endif()
endforeach()
