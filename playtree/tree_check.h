// Playing the play tree: a play added with the replies it got, every branch re-checked on the
// current scenario text (worker threads, progress, cancellable), and .walk export and import.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/program_builder.h"
#include "play_tree.h"

namespace marvo::tree {

// What one turn showed: its output lines after the echo of the command (messages as "[text]"),
// and whether the command fitted the game (a pattern matched, or Enter re-ran the location, and
// the run did not fail).
struct TurnReply {
  std::vector<std::string> lines;
  bool fits = true;
};

// Plays `commands` from game start on `program`: the reply of the start, then of every command.
std::vector<TurnReply> playPath(const PreparedProgram& program, const std::vector<std::string>& commands);

// Adds a play to the tree with the replies it got; nodes already there get their reply renewed
// (and are marked changed when it differs from the blessed one). Returns the last node.
std::size_t recordPlay(PlayTree& tree, const PreparedProgram& program, const std::vector<std::string>& commands);

struct CheckResult {
  std::size_t changed = 0;  // nodes whose reply differs from the blessed one
  std::size_t unfit = 0;    // nodes whose command no longer fits the game
  bool cancelled = false;   // the tree is then left as it was
};
// Replays every branch of the tree on `program` with up to `threads` workers and marks each node
// changed or unfit (nodes are never dropped). `progress(done, total)` is called from the workers
// after each leaf; setting `cancel` stops them at the next leaf.
CheckResult checkTree(PlayTree& tree, const PreparedProgram& program, unsigned threads = 2,
                      const std::function<void(std::size_t, std::size_t)>& progress = {},
                      const std::atomic<bool>* cancel = nullptr);

// The scenario line (from 1) of the text or menu line that printed `replyLine`: the first "!" or "@"
// line whose text equals it, or, for a text with [substitutions], whose text before the first "["
// begins it. std::nullopt when no scenario line fits (a library line, a message).
std::optional<int> scenarioLineOf(const PreparedProgram& program, std::string_view replyLine);

// A walkthrough (UTF-8) of the path to `node`, titled by its name (or its last command): each
// command with the lines of its blessed reply (else its last reply) as expected text.
std::string exportPath(const PlayTree& tree, std::size_t node);
// One test per blessed leaf, in tree order.
std::string exportBlessedLeaves(const PlayTree& tree);
// Adds every test of a walkthrough as a play (its commands only). Returns the number of tests
// added, or -1 when the text holds faulty lines (then nothing is added; `error` says where).
int importWalk(PlayTree& tree, std::string_view walkUtf8, std::string* error = nullptr);

}  // namespace marvo::tree
