// Conditions decided by the lines just above them: within one run of a location (no READ, jump,
// talk line or REDO between), a variable given a number keeps it, and an IF that compares it so
// that it is never true leaves its lines dead.
#include <optional>
#include <unordered_map>

#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

struct Known {
  std::int32_t value = 0;
  int line = -1;  // the program line that gave the value, or -1 when paths with the same value meet
};
using State = std::unordered_map<std::string, Known>;

// Paths meet: what both know alike is still known.
State merge(const State& a, const State& b) {
  State out;
  for (const auto& [name, k] : a) {
    auto it = b.find(name);
    if (it != b.end() && it->second.value == k.value) out[name] = {k.value, it->second.line == k.line ? k.line : -1};
  }
  return out;
}

// An operand of a comparison: a known variable, or a number literal no variable shadows.
std::optional<Known> operandOf(const Word& w, const State& state, const std::unordered_map<std::string, bool>& vars) {
  if (auto it = state.find(w.text); it != state.end()) return it->second;
  if (vars.count(w.text) || w.text.empty() || !isNumberLiteral(w.text, false)) return std::nullopt;
  return Known{w.number, -1};
}

std::optional<bool> decide(int form, std::int32_t a, std::int32_t b) {
  switch (form) {
    case 3:
      return a <= b;
    case 4:
      return a >= b;
    case 5:
      return a != b;
    case 6:
      return a < b;
    case 7:
      return a > b;
    case 8:
      return a == b;
    default:
      return std::nullopt;
  }
}

// Rows after which the values known are no longer sure: the line ends the run, leaves it, comes
// back from elsewhere, or changes what the engine keeps in ways not followed here.
constexpr std::uint32_t kForgets = kRead | kTalk | kRedo | kReturn | kGoto | kJump | kPushIndex | kPopIndex | kPushLoc |
                                   kPopLoc | kVip | kClear | kEmpo | kLabel;

}  // namespace

void checkDecidedConditions(Context& ctx) {
  // Every name some line assigns: a number literal with such a name reads the variable.
  std::unordered_map<std::string, bool> vars;
  for (const ProgramLine& l : ctx.program.lines)
    if (l.rows & (kAssign | kAddSub | kMulDiv)) vars[l.d.truthWord(0).text] = true;

  struct Open {
    State before;  // the path where the condition is false
    std::optional<bool> verdict;
  };
  State state;
  std::vector<Open> open;
  bool lost = false;                       // the IF/ENDIF pairing is off in this location: it is judged by other rules
  std::vector<std::pair<int, int>> found;  // (assignment, IF) of the current location
  const auto flush = [&] {
    for (const auto& [by, at] : found) {
      const ProgramLine& set = ctx.line(by);
      const ProgramLine& l = ctx.line(at);
      ctx.report.at(set, Severity::Error,
                    concat("После "_w, quoted(set.text), " условие "_w, quoted(l.text), " (строка "_w,
                           std::to_string(l.origin + 1),
                           ") всегда ложно: строки под ним никогда не выполнятся. Вероятно, строки "
                           "переставлены: присваивание должно стоять под условием или после ENDIF."_w),
                    "decided-condition");
    }
    found.clear();
  };
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      if (!lost && open.empty()) flush();
      found.clear();
      state.clear();
      open.clear();
      lost = false;
      continue;
    }
    if (lost || l.d.count == 0 || (l.rows & kComment)) continue;
    const bool opens = (l.marks & kOpensIf) != 0, isIf = (l.rows & kIf) != 0;
    const bool closes = (l.marks & kClosesIf) != 0, endif = (l.marks & kEndifWord) != 0 && !isIf;
    if (opens != isIf || closes != endif) {
      // A line the skips see otherwise than the run: the pairing is the job of other rules.
      lost = true;
      continue;
    }
    if (endif) {
      if (open.empty()) {
        lost = true;
        continue;
      }
      Open o = std::move(open.back());
      open.pop_back();
      state = o.verdict == false ? std::move(o.before) : o.verdict == true ? std::move(state) : merge(state, o.before);
      continue;
    }
    if (isIf) {
      Open o{state, std::nullopt};
      const auto a = operandOf(l.d.truthWord(1), state, vars);
      const auto b = operandOf(l.d.truthWord(2), state, vars);
      if (a && b) o.verdict = decide(l.d.ifForm, a->value, b->value);
      const int by = a && a->line >= 0 ? a->line : b && b->line >= 0 ? b->line : -1;
      if (o.verdict == false && by >= 0 && ctx.runnable[static_cast<std::size_t>(i)]) found.emplace_back(by, i);
      open.push_back(std::move(o));
      continue;
    }
    if (l.rows & kForgets) state.clear();
    if (l.rows & (kAssign | kAddSub | kMulDiv)) {
      const std::string& name = l.d.truthWord(0).text;
      std::optional<Known> value;
      if (!(l.rows & (kAddSub | kMulDiv)) && !l.d.oneShot && !l.text.starts_with("^"))
        value = operandOf(l.d.truthWord(1), state, vars);
      if (value)
        state[name] = {value->value, i};
      else
        state.erase(name);
    }
  }
  if (!lost && open.empty()) flush();
}

}  // namespace marvo::check
