// Shared helpers of the walkthrough tests: UTF-8 scenarios prepared and walkthroughs run.
#pragma once

#include <string>
#include <vector>

#include "support/recording_host.h"
#include "walkthrough/runner.h"

namespace marvo::test {

// A small game: a menu, a talk block, a timed event, a location no path leads to.
inline const std::vector<std::string> kClockGame = {
    ":start",
    "@Комната. Тикают часы.%",
    "btn [Выйти в сад] сад",
    "IF time>299",
    "!Часы пробили полдень.",
    "ENDIF",
    "TALK ждать",
    "!Вы ждёте.",
    "счёт=счёт+1",
    "REDO",
    "TALK сломать",
    "!Не выходит.",
    "REDO",
    "READ",
    ":сад",
    "@Сад.%",
    "btn [Вернуться] start",
    "READ",
    ":тайник",
    "!Сюда не попасть.",
    "READ",
    ":common",
    "RETURN",
};

inline walk::PreparedGame prepared(const std::vector<std::string>& scenario = kClockGame) {
  return walk::prepareGame(w(scenario), {});
}

inline walk::RunResult runText(const walk::PreparedGame& game, std::vector<walk::WalkFile>& files,
                               const std::string& walk, walk::RunOptions options = {}) {
  files.push_back(walk::parseWalkFile(walk, "t.walk"));
  return walk::runWalkthroughs(game, files, options);
}

}  // namespace marvo::test
