# Runs the Neovim client test in WORK with a fresh copy of game.scn. Skips (prints "SKIP: ") only
# when nvim is not installed.
find_program(NVIM nvim)
if(NOT NVIM)
  message("SKIP: nvim is not installed (scripts/setup installs neovim)")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${SOURCE}/tests/lsp/nvim/game.scn DESTINATION ${WORK})
set(ENV{MARVO_CLI} ${CLI})
set(ENV{MARVO_WORK} ${WORK})
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)
set(ENV{XDG_DATA_HOME} ${WORK}/data)
set(ENV{XDG_STATE_HOME} ${WORK}/state)
execute_process(COMMAND ${NVIM} --headless -u NONE -i NONE -n --cmd "set rtp^=${SOURCE}/editors/vim"
                        -c "luafile ${SOURCE}/tests/lsp/nvim/client_test.lua"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the Neovim client test failed (${status})")
endif()
