// Recording walkthroughs from played commands, and rewriting ("blessing") failing tests.
#pragma once

#include <string>
#include <vector>

#include "prepared_game.h"
#include "runner.h"

namespace marvo::walk {

// The walkthrough lines (UTF-8) that expect exactly what one step printed: every non-empty output
// line but the command's echo as plain text, every engine message as "? message:" (the index error
// without the line number it names, and not at all right after a message, to which it belongs).
std::vector<std::string> expectationLines(const Step& step, const StepOutput& output);

// Plays the commands (Windows-1251) from game start: what the start and each command printed.
std::vector<StepOutput> playCommands(const PreparedGame& game, const std::vector<std::string>& commands);

// Plays the commands (Windows-1251) from game start and returns a walkthrough (UTF-8 text) that
// expects exactly the output seen. `title` (UTF-8) becomes its "*" line when not empty.
std::string recordWalkthrough(const PreparedGame& game, const std::vector<std::string>& commands,
                              const std::string& title = {});

// A walkthrough from output already seen: one entry of `outputs` for the game start, then one
// per command. Used by the window, which has played the game itself.
std::string walkthroughText(const std::vector<std::string>& commands, const std::vector<StepOutput>& outputs,
                            const std::string& title = {});

// The file's text with the plain expected texts of every failing test in `outcomes` replaced by
// what was seen, and its failing "!" and "/regex/" lines dropped; comments, commands, "+" and "?"
// lines stay as written, and messages no "? message:" of the step accounts for are added. Tests with faulty lines are
// left alone. Returns the text unchanged (and `changed` false) when nothing is to be rewritten.
std::string blessedText(const WalkFile& file, const std::vector<TestOutcome>& outcomes, bool& changed);

}  // namespace marvo::walk
