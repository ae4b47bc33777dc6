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

// The file's text with only the failed expectations of failing tests rewritten: a plain text no
// longer printed is replaced by the output line that took its place (the lines between the
// neighbouring texts that still hold, or among them the one sharing most words with it), failed
// "!", "/regex/" and "? message:" lines are dropped, and messages the step does not account for are
// added. Expectations that still hold, comments, commands, "+" and the other "?" lines stay as
// written; tests with faulty lines are left alone. `changed` tells whether the text differs.
std::string blessedText(const WalkFile& file, const std::vector<TestOutcome>& outcomes, bool& changed);

}  // namespace marvo::walk
