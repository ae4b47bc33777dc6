// The story graph: one pass over the program game start builds, reading each line as the engine
// decodes it, then the marks from the finished graph.
#include "story_graph.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "engine/decode.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "game/talk_matcher.h"

namespace marvo::storymap {

using namespace literals;

namespace {

// A text that stands for the current object where "<object>" is substituted at run time.
constexpr std::string_view kAnyObject = "\xA7";
// Every copy of the library is read as game start splices it, up to this many lines in all.
constexpr std::size_t kMaxSplicedLines = 200000;

// The line as the run cycle sees it: "<object>" substituted (unless the line is a talk line), a
// leading one-shot "^" removed.
std::string runtimeRaw(std::string_view stored) {
  std::string raw(stored);
  if (raw.find("<object>") != std::string::npos && !mentionsTalk(raw)) replaceFirst(raw, "<object>", kAnyObject);
  if (raw.starts_with("^")) {
    raw[0] = ' ';
    raw = trim(raw);
  }
  return raw;
}

// The text of a menu or text line for a box: without "^", "!"/"@" and a trailing "%".
std::string shownText(std::string_view stored) {
  std::string_view t = trimView(stored);
  if (t.starts_with("^")) t = trimView(t.substr(1));
  if (!t.empty()) t.remove_prefix(1);
  t = trimView(t);
  while (t.ends_with("%")) t = trimView(t.substr(0, t.size() - 1));
  return std::string(t);
}

// The map export's label of a cell: the name without the interpreter's delimiters, then its number.
int exportCell(std::string_view key, std::string_view comment) {
  const std::string_view head = "*- - - - Локация "_w;
  const std::string_view tail = " - - - -";
  comment = trimView(comment);
  if (!comment.starts_with(head) || !comment.ends_with(tail) || comment.size() < head.size() + tail.size()) return 0;
  const std::string_view name = comment.substr(head.size(), comment.size() - head.size() - tail.size());
  std::string stripped;
  for (char c : name)
    if (kDelimiters.find(c) == std::string_view::npos) stripped += c;
  lowerInPlace(stripped);
  if (!key.starts_with(stripped)) return 0;
  const std::string_view digits = key.substr(stripped.size());
  if (digits.size() < 3 || digits.size() > 4) return 0;
  int k = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    k = k * 10 + (c - '0');
  }
  const int row = k / 100, column = k % 100;
  return row >= 1 && row <= 99 && column >= 1 && column <= 99 ? k : 0;
}

Direction fromCells(int a, int b) {
  if (!a || !b) return Direction::None;
  switch (b - a) {
    case -100:
      return Direction::North;
    case 100:
      return Direction::South;
    case -1:
      return Direction::West;
    case 1:
      return Direction::East;
    default:
      return Direction::None;
  }
}

// The first alternative of a talk pattern, its words joined by one blank.
std::string firstAlternative(std::string_view pattern) {
  std::string out;
  const auto alternatives = splitRuns(pattern, '/', 20);
  if (alternatives.empty()) return out;
  for (std::string_view word : splitRuns(alternatives.front(), ' ', 10)) {
    if (!out.empty()) out += ' ';
    out += word;
  }
  return out;
}

Direction patternDirection(std::string_view pattern) {
  for (std::string_view alternative : splitRuns(pattern, '/', 20))
    if (Direction d = directionOf(alternative); d != Direction::None) return d;
  return Direction::None;
}

bool isNumber(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Builder {
 public:
  Builder(const std::vector<std::string>& scenario, const std::vector<std::string>& library)
      : scenario_(scenario), library_(library) {}

  StoryGraph build() {
    ProgramMap map = mapProgram(scenario_, library_, kMaxSplicedLines);
    std::vector<const Taking*> takingOf(map.lines.size(), nullptr);
    for (const Taking& t : map.takings)
      for (std::size_t k = t.first; k < t.first + t.count && k < takingOf.size(); ++k) takingOf[k] = &t;
    for (std::size_t i = 0; i < map.lines.size(); ++i) {
      if (!takingOf[i]) continue;  // the start marker, the final "read", the end marker
      line(map, i, *takingOf[i]);
    }
    endLocation(-1, {});
    finish();
    return std::move(g_);
  }

 private:
  struct Pending {  // an edge whose target is named but may be defined further down
    std::string target;
    Edge edge;
    std::string pattern;  // the talk pattern of a command, to read a numbered menu choice from
    int fallTo = -1;      // a fall into the next location: that node
    bool button = false;  // made by a btn line: the map export's cells may give its direction
  };

  void line(const ProgramMap& map, std::size_t i, const Taking& taking) {
    const std::string& stored = map.lines[i];
    const LineOrigin origin = map.origins[i];
    const std::string raw = runtimeRaw(stored);
    decodeLine(raw, d_);
    const std::uint32_t rows = executedRows(d_.rows);
    const std::string_view statement = d_.statement;

    if (stored.starts_with(":")) {
      const std::string key = stored.substr(1);
      int node = g_.find(key);
      endLocation(node < 0 ? static_cast<int>(g_.nodes.size()) : node, origin);
      if (node < 0) node = addNode(key, origin);
      current_ = node;
      return;
    }

    // The talk block a line belongs to, as the engine's skip counts it.
    if (talkDepth_ > 0) {
      if (opensTalkLevel(statement)) ++talkDepth_;
      if (closesTalkLevel(statement)) --talkDepth_;
    } else if (rows & kTalk) {
      talkDepth_ = opensTalkLevel(statement) ? 1 : 0;
      if (current_ >= 0) g_.nodes[static_cast<std::size_t>(current_)].offers = true;
      blockPattern_ = talkPattern(stored);
      blockKind_ = taking.made == Made::Button || taking.made == Made::Choice ? EdgeKind::Choice : EdgeKind::Command;
      blockLabel_ = blockKind_ == EdgeKind::Choice ? choiceText_ : firstAlternative(blockPattern_);
      return;
    } else {
      // The location's own code: IF levels and whether it stops before the next label.
      if (rows & kIf) {
        ++ifDepth_;
      } else if (closesIfLevel(statement)) {
        if (ifDepth_ > 0) --ifDepth_;
      } else if (ifDepth_ == 0 && (rows & (kReturn | kRead | kGoto | kJump | kRedo | kPopIndex))) {
        stops_ = true;
      }
    }

    if (current_ >= 0) {
      Node& n = g_.nodes[static_cast<std::size_t>(current_)];
      if (rows & (kReturn | kPopIndex)) n.returns = true;
      if ((rows & kText) && d_.menu && taking.made != Made::Copy) {
        n.offers = true;
        choiceText_ = shownText(stored);
        choiceText_.erase(0, std::min(choiceText_.size(), choiceText_.find('.') + 1));
        choiceText_ = trim(choiceText_);
      } else if ((rows & kText) && taking.made == Made::Copy) {
        std::string shown = shownText(stored);
        if (d_.menu) menus_.push_back(shown);
        if (n.text.empty() && !shown.empty()) n.text = std::move(shown);
      }
    }

    if (!(rows & (kGoto | kJump))) return;
    const std::string& target = d_.truthWord(1).text;
    if (current_ < 0) {
      if (ifDepth_ == 0 && talkDepth_ == 0 && headTarget_.empty()) headTarget_ = target;
      headTargets_.insert(target);
      return;
    }
    Pending p;
    p.target = target;
    p.edge.from = current_;
    p.edge.source = origin.source;
    p.edge.line = origin.line;
    p.button = taking.made == Made::Button;
    if (talkDepth_ > 0) p.edge.label = blockLabel_;
    if (taking.made == Made::Call) {
      p.edge.kind = EdgeKind::Call;
    } else if (talkDepth_ > 0) {
      p.edge.kind = blockKind_;
      if (blockKind_ == EdgeKind::Command) p.pattern = blockPattern_;
    } else {
      p.edge.kind = EdgeKind::Jump;
    }
    if (origin.source == LineOrigin::Library) p.edge.kind = EdgeKind::Hook;
    if (talkDepth_ > 0 && p.edge.kind != EdgeKind::Call)
      p.edge.direction = blockKind_ == EdgeKind::Choice ? directionOf(blockLabel_) : patternDirection(blockPattern_);
    pendingHere_.push_back(std::move(p));
  }

  int addNode(const std::string& key, const LineOrigin& origin) {
    Node n;
    n.key = key;
    n.source = origin.source;
    n.line = origin.line;
    const auto& text = origin.source == LineOrigin::Library ? library_ : scenario_;
    const auto at = static_cast<std::size_t>(origin.line - 1);
    n.name = at < text.size() ? trim(trimView(text[at]).substr(1)) : key;
    if (origin.source == LineOrigin::Scenario && at > 0 && at < text.size()) n.cell = exportCell(key, text[at - 1]);
    g_.index.emplace(key, static_cast<int>(g_.nodes.size()));
    g_.nodes.push_back(std::move(n));
    if (key == "common" && g_.common < 0) g_.common = static_cast<int>(g_.nodes.size()) - 1;
    return static_cast<int>(g_.nodes.size()) - 1;
  }

  // Closes the current location (or the lines before the first label) before `next` begins.
  void endLocation(int next, const LineOrigin& label) {
    const bool runsOn = !stops_ && ifDepth_ == 0 && talkDepth_ == 0;
    if (current_ < 0) {
      headFalls_ = runsOn;
    } else {
      // A numbered command under an "@N." menu line is a choice with that line's text.
      for (Pending& p : pendingHere_) {
        if (p.edge.kind != EdgeKind::Command || !isNumber(p.pattern)) continue;
        for (const std::string& menu : menus_)
          if (menu.starts_with(p.pattern) && menu.size() > p.pattern.size() &&
              (menu[p.pattern.size()] == '.' || menu[p.pattern.size()] == ' ')) {
            p.edge.kind = EdgeKind::Choice;
            p.edge.label = trim(std::string_view(menu).substr(p.pattern.size() + 1));
            p.edge.direction = directionOf(p.edge.label);
            break;
          }
      }
      for (Pending& p : pendingHere_) pending_.push_back(std::move(p));
      if (runsOn && next >= 0) {
        Pending fall;
        fall.edge.from = current_;
        fall.edge.kind = EdgeKind::Fall;
        fall.edge.source = label.source;
        fall.edge.line = label.line;
        fall.fallTo = next;
        pending_.push_back(std::move(fall));
      }
    }
    pendingHere_.clear();
    menus_.clear();
    stops_ = false;
    ifDepth_ = 0;
    talkDepth_ = 0;
    choiceText_.clear();
  }
  void finish();
  void mark();

  const std::vector<std::string>& scenario_;
  const std::vector<std::string>& library_;
  StoryGraph g_;
  DecodedLine d_;
  int current_ = -1;
  int talkDepth_ = 0;
  int ifDepth_ = 0;
  bool stops_ = false;
  EdgeKind blockKind_ = EdgeKind::Command;
  std::string blockLabel_, blockPattern_, choiceText_;
  std::vector<std::string> menus_;
  std::vector<Pending> pendingHere_, pending_;
  std::string headTarget_;
  std::set<std::string> headTargets_;
  bool headFalls_ = true;
};

void Builder::finish() {
  std::set<std::tuple<int, int, EdgeKind, int, int>> seen;  // a library spliced twice makes its edges twice
  for (Pending& p : pending_) {
    Edge& e = p.edge;
    e.to = p.fallTo >= 0 ? p.fallTo : g_.find(p.target);
    if (e.to < 0) continue;  // a jump to no label: the checker reports it
    if (!seen.emplace(e.from, e.to, e.kind, static_cast<int>(e.source), e.line).second) continue;
    if (e.direction == Direction::None && p.button)
      e.direction =
          fromCells(g_.nodes[static_cast<std::size_t>(e.from)].cell, g_.nodes[static_cast<std::size_t>(e.to)].cell);
    g_.edges.push_back(std::move(e));
  }
  std::stable_sort(g_.edges.begin(), g_.edges.end(), [](const Edge& a, const Edge& b) {
    return std::tie(a.source, a.line) < std::tie(b.source, b.line);
  });
  if (!headTarget_.empty())
    g_.start = g_.find(headTarget_);
  else if (headFalls_ && !g_.nodes.empty())
    g_.start = 0;
  mark();
}

void Builder::mark() {
  const int n = static_cast<int>(g_.nodes.size());
  std::vector<bool> targeted(static_cast<std::size_t>(n), false), fallenInto(static_cast<std::size_t>(n), false);
  std::vector<int> exits(static_cast<std::size_t>(n), 0);
  std::vector<bool> selfLoop(static_cast<std::size_t>(n), false);
  std::vector<std::vector<int>> out(static_cast<std::size_t>(n));
  for (const Edge& e : g_.edges) {
    (e.kind == EdgeKind::Fall ? fallenInto : targeted)[static_cast<std::size_t>(e.to)] = true;
    if (e.kind == EdgeKind::Call) continue;  // a call comes back
    if (e.to == e.from) {
      selfLoop[static_cast<std::size_t>(e.from)] = true;
    } else {
      ++exits[static_cast<std::size_t>(e.from)];
      out[static_cast<std::size_t>(e.from)].push_back(e.to);
    }
  }
  for (const std::string& t : headTargets_)
    if (int k = g_.find(t); k >= 0) targeted[static_cast<std::size_t>(k)] = true;
  if (headFalls_ && n > 0) fallenInto[0] = true;

  for (int k = 0; k < n; ++k) {
    Node& node = g_.nodes[static_cast<std::size_t>(k)];
    const auto u = static_cast<std::size_t>(k);
    if (k == g_.start) node.marks |= kStart;
    if (k == g_.common) continue;
    if (!targeted[u] && !fallenInto[u]) node.marks |= kUnreachable;
    if (!node.returns && exits[u] == 0) node.marks |= node.offers || selfLoop[u] ? kDeadEnd : kEnding;
  }

  // Groups that lead only to each other (strongly connected components without a way out), found
  // without recursion: a chain of thousands of locations must not exhaust the stack.
  std::vector<int> order(static_cast<std::size_t>(n), -1), low(static_cast<std::size_t>(n), 0), stack,
      comp(static_cast<std::size_t>(n), -1);
  std::vector<bool> onStack(static_cast<std::size_t>(n), false);
  int counter = 0, comps = 0;
  std::vector<std::pair<int, std::size_t>> work;
  for (int root = 0; root < n; ++root) {
    if (order[static_cast<std::size_t>(root)] >= 0) continue;
    work.push_back({root, 0});
    while (!work.empty()) {
      auto& [v, next] = work.back();
      const auto uv = static_cast<std::size_t>(v);
      if (next == 0) {
        order[uv] = low[uv] = counter++;
        stack.push_back(v);
        onStack[uv] = true;
      }
      if (next < out[uv].size()) {
        const int w = out[uv][next++];
        const auto uw = static_cast<std::size_t>(w);
        if (order[uw] < 0)
          work.push_back({w, 0});
        else if (onStack[uw])
          low[uv] = std::min(low[uv], order[uw]);
        continue;
      }
      if (low[uv] == order[uv]) {
        int w;
        do {
          w = stack.back();
          stack.pop_back();
          onStack[static_cast<std::size_t>(w)] = false;
          comp[static_cast<std::size_t>(w)] = comps;
        } while (w != v);
        ++comps;
      }
      const int done = v;
      work.pop_back();
      if (!work.empty()) {
        const auto up = static_cast<std::size_t>(work.back().first);
        low[up] = std::min(low[up], low[static_cast<std::size_t>(done)]);
      }
    }
  }
  std::vector<int> size(static_cast<std::size_t>(comps), 0);
  std::vector<bool> open(static_cast<std::size_t>(comps), false);
  for (int k = 0; k < n; ++k) {
    const auto u = static_cast<std::size_t>(k);
    const auto c = static_cast<std::size_t>(comp[u]);
    ++size[c];
    if (g_.nodes[u].returns || k == g_.common) open[c] = true;
    for (int w : out[u])
      if (comp[static_cast<std::size_t>(w)] != comp[u]) open[c] = true;
  }
  for (int k = 0; k < n; ++k) {
    const auto c = static_cast<std::size_t>(comp[static_cast<std::size_t>(k)]);
    if (size[c] >= 2 && !open[c]) g_.nodes[static_cast<std::size_t>(k)].marks |= kClosedLoop;
  }
}

}  // namespace

int StoryGraph::find(std::string_view key) const {
  const auto it = index.find(std::string(key));
  return it == index.end() ? -1 : it->second;
}

StoryGraph buildStoryGraph(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  return Builder(scenario, library).build();
}

std::string_view kindName(EdgeKind kind) {
  switch (kind) {
    case EdgeKind::Command:
      return "command";
    case EdgeKind::Choice:
      return "choice";
    case EdgeKind::Jump:
      return "jump";
    case EdgeKind::Call:
      return "call";
    case EdgeKind::Hook:
      return "hook";
    case EdgeKind::Fall:
      return "fall";
  }
  return "";
}

std::string_view directionName(Direction direction) {
  switch (direction) {
    case Direction::None:
      return "";
    case Direction::North:
      return "north";
    case Direction::South:
      return "south";
    case Direction::West:
      return "west";
    case Direction::East:
      return "east";
    case Direction::Up:
      return "up";
    case Direction::Down:
      return "down";
  }
  return "";
}

std::vector<std::string_view> markNames(std::uint8_t marks) {
  std::vector<std::string_view> out;
  if (marks & kStart) out.push_back("start");
  if (marks & kEnding) out.push_back("ending");
  if (marks & kDeadEnd) out.push_back("dead-end");
  if (marks & kUnreachable) out.push_back("unreachable");
  if (marks & kClosedLoop) out.push_back("loop");
  return out;
}

Direction directionOf(std::string_view phrase) {
  // The words of the shipped library's and the map export's directions, by the letters they
  // start with; "на север", "идти на юг", "go east" name the same directions.
  struct Stem {
    std::string_view stem;
    Direction direction;
  };
  static constexpr Stem kStems[] = {
      {"севе"_w, Direction::North}, {"nort", Direction::North},  {"юг"_w, Direction::South},
      {"sout", Direction::South},   {"запа"_w, Direction::West}, {"west", Direction::West},
      {"вост"_w, Direction::East},  {"east", Direction::East},   {"вверх"_w, Direction::Up},
      {"наверх"_w, Direction::Up},  {"up", Direction::Up},       {"вниз"_w, Direction::Down},
      {"down", Direction::Down},
  };
  static constexpr std::string_view kFillers[] = {"на"_w, "идти"_w, "иди"_w, "пойти"_w, "go", "to"};
  const std::string lowered = lower(phrase);
  std::vector<std::string_view> words = splitRuns(lowered, ' ', 8);
  std::erase_if(words, [](std::string_view w) { return w.empty(); });
  while (words.size() > 1 && std::find(std::begin(kFillers), std::end(kFillers), words.front()) != std::end(kFillers))
    words.erase(words.begin());
  if (words.size() != 1) return Direction::None;
  const std::string_view word = words.front();
  for (const Stem& s : kStems)
    if (word.starts_with(s.stem) && (s.stem.size() >= 4 || word == s.stem)) return s.direction;
  return Direction::None;
}

Coverage coverageOf(const StoryGraph& graph, const std::vector<int>& visitedLines) {
  const std::set<int> visited(visitedLines.begin(), visitedLines.end());
  Coverage c;
  for (const Node& n : graph.nodes) c.nodes.push_back(n.source == LineOrigin::Scenario && visited.count(n.line));
  for (const Edge& e : graph.edges) {
    const bool ends = c.nodes[static_cast<std::size_t>(e.from)] && c.nodes[static_cast<std::size_t>(e.to)];
    c.edges.push_back(e.source == LineOrigin::Scenario && e.kind != EdgeKind::Fall ? visited.count(e.line) > 0 : ends);
  }
  return c;
}

}  // namespace marvo::storymap
