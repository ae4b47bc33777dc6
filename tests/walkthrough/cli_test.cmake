# marvo-cli test, --bless, --coverage, record, replay-check and play --clock-step on a small game.
# -DCLI=marvo-cli -DDIR=<fixtures> -DWORK=<scratch directory>
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${DIR}/ DESTINATION ${WORK})

function(run expect_status expect_output)
  execute_process(COMMAND ${CLI} ${ARGN} WORKING_DIRECTORY ${WORK} INPUT_FILE ${WORK}/input.txt
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expect_status OR NOT out MATCHES "${expect_output}")
    message(FATAL_ERROR "marvo-cli ${ARGN}: status ${status} (expected ${expect_status})\n${out}${err}\n"
                        "expected output matching: ${expect_output}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(WRITE ${WORK}/input.txt "ждать\n1\n")
run(0 "PASS game.walk:2 ждём и выходим в сад\n1 passed, 0 failed" test game.scn game.walk)
# The scenario alone runs its own walkthroughs; a scenario without any is an error.
run(0 "PASS game.walk:2 ждём и выходим в сад\n1 passed, 0 failed" test game.scn)
run(1 "^$" test edited.scn)
# A broken edit: the failing line, the command's output, the summary, exit status 1.
run(1 "game.walk:4: expected Вы ждёте. / got:\n    >ждать\n    Вы спите.\nFAIL game.walk:2" test edited.scn game.walk)
run(1 "0 passed, 1 failed" test edited.scn game.walk)
# Coverage names the unreachable location by scenario line.
run(0 "game.scn:15: not reached: location :тайник\n.*coverage: [0-9]+% of program lines" test --coverage game.scn game.walk)
# Bless rewrites the failing expectation and keeps the comment; the blessed file passes, so the
# command exits 0.
run(0 "blessed game.walk\nafter blessing: 1 passed, 0 failed" test --bless edited.scn game.walk)
# Only the changed line is rewritten: the file keeps its length and every other line.
file(READ ${DIR}/game.walk original)
string(REPLACE "Вы ждёте." "Вы спите." expected_blessed "${original}")
file(READ ${WORK}/game.walk blessed)
if(NOT blessed STREQUAL expected_blessed)
  message(FATAL_ERROR "blessed walkthrough:\n${blessed}")
endif()
run(0 "1 passed, 0 failed" test edited.scn game.walk)
# Recording from standard input and from a saved game gives walkthroughs that pass.
run(0 "> ждать\nВы ждёте.\n> 1\nСад." record game.scn)
file(WRITE ${WORK}/recorded.walk "${out}")
run(0 "1 passed" test game.scn recorded.walk)
run(0 "\\* game.sav\n" record game.scn --from game.sav)
# Replay-check finds the first command whose output differs.
run(1 "command 1 differs: ждать\n--- game.scn\n    >ждать\n    Вы ждёте.\n\\+\\+\\+ edited.scn\n    >ждать\n    Вы спите."
    replay-check edited.scn game.sav --against game.scn)
run(0 "no difference in 2 commands" replay-check game.scn game.sav --against game.scn)
# A deterministic clock for play: 300 ticks before the command reach the timed event.
file(WRITE ${WORK}/input.txt "\n")
run(0 "Часы пробили полдень" play --clock-step 300 game.scn)
# A game that loops in its common section: the runaway guard stops every turn after thousands of
# lines of output, and the walkthrough fails at the first step instead of passing.
file(WRITE ${WORK}/loop.scn ":start\n@Причал.%\nTALK ждать\n!Вы ждёте.\nREDO\nREAD\n:common\nIF корабеь=0\n!Огни парохода.\nREAD\nENDIF\nRETURN\n")
file(WRITE ${WORK}/loop.walk "Причал.\n> ждать\nВы ждёте.\n")
run(1 "loop.walk:1: expected \\(без сообщений движка\\) / got:\n.*\\[Сценарий зациклился.*FAIL loop.walk:1" test loop.scn loop.walk)
