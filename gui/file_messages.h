// The Russian texts of file problems: why a file could not be read or written, what is doubtful
// about a scenario or a saved game, and what became of the author's text.
#pragma once

#include <QString>
#include <string>

#include "game/saved_game.h"
#include "game/scenario_file.h"

namespace marvo {

// The reason behind an errno, in Russian ("нет прав на запись", "на диске нет места" ...).
QString fileErrorReason(int errorNumber);
// A core's file error "<file>: <reason>" with a common system reason put in Russian
// ("/tmp/x.walk: нет прав доступа"); other reasons are kept as the system words them.
QString fileProblem(const std::string& coreError);

// "Open File" could not read `file`: what is wrong, the scenario text unchanged.
QString scenarioNotOpened(const QString& file, const ScenarioRead& read);
// The question before a doubtful scenario (read.doubt is not None) replaces the text.
QString scenarioDoubtQuestion(const QString& file, const ScenarioRead& read);

// "Load game" could not read `file` (errno `errorNumber`). The game goes on.
QString savedGameNotLoaded(const QString& file, int errorNumber);
// "Load game" refuses `file`: it holds no command log. The game goes on.
QString notASavedGame(const QString& file);
// The question before a saved game whose commands mostly match nothing is replayed.
QString otherGameQuestion(const QString& file, const SavedGameFit& fit);

// A failed save of the scenario text to `file` (which existed before or not): what was not saved
// and that nothing is lost; `detail` adds what to do and the system's own words.
QString scenarioNotSaved(const QString& file, const SaveFailure& failure);
QString scenarioNotSavedDetail(const QString& file, bool existed, const SaveFailure& failure);

}  // namespace marvo
