# Fails when a C++ source of the tree is not as clang-format (.clang-format at the root) writes it.
# -DSOURCE=<source folder> -DCLANG_FORMAT=<clang-format>
set(folders app bench checker editor engine game gui help lsp mapedit npc object_placer player playtree spelling storymap walkthrough web
    tests)
set(files)
foreach(folder ${folders})
  file(GLOB_RECURSE found ${SOURCE}/${folder}/*.cpp ${SOURCE}/${folder}/*.h)
  list(APPEND files ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "sources differ from .clang-format: run clang-format -i on the files named above")
endif()
