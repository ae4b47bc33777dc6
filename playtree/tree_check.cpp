// Replaying the play tree's branches and turning them into walkthroughs.
#include "tree_check.h"

#include <mutex>
#include <thread>

#include "engine/codec.h"
#include "engine/engine.h"
#include "engine/text.h"
#include "game/game.h"
#include "walkthrough/walk_file.h"

namespace marvo::tree {

namespace {

// Collects one turn's lines; messages are kept as the terminal shows them.
class TurnHost : public EngineHost {
 public:
  std::vector<std::string> lines;
  bool failed = false;
  void clearOutput() override { lines.clear(); }
  void appendOutput(std::string_view line) override { lines.emplace_back(line); }
  void showMessage(std::string_view text) override { lines.push_back("[" + std::string(text) + "]"); }
};

// The turn's lines after the echo of its command.
std::vector<std::string> afterEcho(std::vector<std::string> lines, bool command) {
  if (command && !lines.empty() && !lines.front().empty() && lines.front()[0] == '>') lines.erase(lines.begin());
  return lines;
}

void markNode(Node& node, const TurnReply& reply) {
  node.reply = reply.lines;
  node.unfit = !reply.fits;
  node.changed = node.blessed && *node.blessed != node.reply;
}

std::string title(const PlayTree& tree, std::size_t id) {
  const Node& node = tree.node(id);
  if (!node.name.empty()) return cp1251ToUtf8(node.name);
  return id == 0 ? std::string("Начало игры") : "Путь до «" + cp1251ToUtf8(node.command) + "»";
}

}  // namespace

std::vector<TurnReply> playPath(const PreparedProgram& program, const std::vector<std::string>& commands) {
  Engine engine;
  Game game(engine);
  TurnHost host;
  std::vector<TurnReply> out;
  try {
    game.begin(program, host);
    out.push_back({host.lines, true});
  } catch (const IndexError& e) {
    host.lines.push_back("[" + std::string(e.what()) + "]");
    out.push_back({host.lines, false});
  }
  for (const auto& command : commands) {
    host.lines.clear();
    bool fits = true;
    try {
      fits = game.talk(command, host) || command.empty();
    } catch (const IndexError& e) {
      host.lines.push_back("[" + std::string(e.what()) + "]");
      fits = false;
    }
    out.push_back({afterEcho(std::move(host.lines), true), fits});
  }
  return out;
}

std::size_t recordPlay(PlayTree& tree, const PreparedProgram& program, const std::vector<std::string>& commands) {
  const auto replies = playPath(program, commands);
  std::size_t at = 0;
  markNode(tree.node(0), replies[0]);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    at = tree.child(at, commands[i]);
    markNode(tree.node(at), replies[i + 1]);
  }
  return at;
}

CheckResult checkTree(PlayTree& tree, const PreparedProgram& program, unsigned threads,
                      const std::function<void(std::size_t, std::size_t)>& progress, const std::atomic<bool>* cancel) {
  const auto leaves = tree.leaves();
  std::vector<std::vector<TurnReply>> replies(leaves.size());
  std::atomic<std::size_t> next{0}, done{0};
  std::mutex progressMutex;
  auto work = [&] {
    for (std::size_t i; (i = next++) < leaves.size();) {
      if (cancel && cancel->load()) return;
      replies[i] = playPath(program, tree.path(leaves[i]));
      const std::size_t finished = ++done;
      if (progress) {
        std::lock_guard lock(progressMutex);
        progress(finished, leaves.size());
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 1; t < std::max(1u, threads); ++t) workers.emplace_back(work);
  work();
  for (auto& worker : workers) worker.join();
  CheckResult result;
  if (cancel && cancel->load() && done < leaves.size()) {
    result.cancelled = true;
    return result;
  }
  // A node on many branches got the same reply on each (the replay is exact): the last one writes.
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    std::size_t id = leaves[i];
    for (std::size_t turn = replies[i].size(); turn-- > 0; id = tree.node(id).parent) {
      markNode(tree.node(id), replies[i][turn]);
      if (id == 0) break;
    }
  }
  for (std::size_t id : tree.order()) {
    result.changed += tree.node(id).changed;
    result.unfit += tree.node(id).unfit;
  }
  return result;
}

std::optional<int> scenarioLineOf(const PreparedProgram& program, std::string_view replyLine) {
  for (std::size_t i = 0; i < program.lines.size() && i < program.origins.size(); ++i) {
    const std::string_view line = trimView(program.lines[i]);
    if (line.empty() || (line[0] != '!' && line[0] != '@')) continue;
    const std::string_view text = line.substr(1);
    const auto bracket = text.find('[');
    const bool fits = bracket == std::string_view::npos ? text == replyLine
                                                        : bracket > 0 && replyLine.starts_with(text.substr(0, bracket));
    if (!fits) continue;
    const LineOrigin origin = unpackOrigin(program.origins[i]);
    if (origin.source == LineOrigin::Scenario) return origin.line;
  }
  return std::nullopt;
}

std::string exportPath(const PlayTree& tree, std::size_t node) {
  std::vector<std::size_t> chain;
  for (std::size_t id = node; id != 0; id = tree.node(id).parent) chain.push_back(id);
  chain.push_back(0);
  std::string out = "* " + title(tree, node) + "\n";
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const Node& n = tree.node(*it);
    if (*it != 0) out += "> " + cp1251ToUtf8(n.command) + "\n";
    for (const auto& line : n.blessed ? *n.blessed : n.reply) {
      const std::string expected = walk::expectedTextLine(line);
      if (!expected.empty()) out += expected + "\n";
    }
  }
  return out;
}

std::string exportBlessedLeaves(const PlayTree& tree) {
  std::string out;
  for (std::size_t leaf : tree.leaves()) {
    if (!tree.node(leaf).blessed) continue;
    if (!out.empty()) out += "\n";
    out += exportPath(tree, leaf);
  }
  return out;
}

int importWalk(PlayTree& tree, std::string_view walkUtf8, std::string* error) {
  const walk::WalkFile file = walk::parseWalkFile(walkUtf8, ".walk");
  for (const auto& test : file.tests) {
    if (test.errors.empty()) continue;
    if (error) *error = "строка " + std::to_string(test.errors.front().line) + ": " + test.errors.front().text;
    return -1;
  }
  for (const auto& test : file.tests) {
    std::vector<std::string> commands;
    for (const auto& step : test.steps)
      if (!step.isStart) commands.push_back(step.command);
    tree.addPlay(commands);
  }
  return static_cast<int>(file.tests.size());
}

}  // namespace marvo::tree
