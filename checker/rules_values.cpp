// Values that lines just above decide or waste: within one run of a location (no READ, jump, talk
// line or REDO between), a variable given a number keeps it, and an IF that compares it so that it
// is never true leaves its lines dead; a value overwritten before anything reads it is lost.
#include <algorithm>
#include <optional>
#include <unordered_map>

#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

struct Known {
  std::int32_t value = 0;
  bool exact = true;  // the variable holds `value`; else it is known only to differ from it
  int line = -1;      // the assignment that gave the value, or -1 (a condition, or paths that met)
};
using State = std::unordered_map<std::string, Known>;

// Paths meet: what both know alike is still known (a value and a value it differs from: that it
// differs). The assignment is kept where one path brings it.
State merge(const State& a, const State& b) {
  State out;
  for (const auto& [name, x] : a) {
    auto it = b.find(name);
    if (it == b.end()) continue;
    const Known& y = it->second;
    const int line = x.line == y.line ? x.line : x.line >= 0 && x.exact ? x.line : y.exact ? y.line : -1;
    if (x.exact && y.exact && x.value == y.value)
      out[name] = {x.value, true, line};
    else if (x.exact != y.exact && x.value != y.value)
      out[name] = {x.exact ? y.value : x.value, false, line};
    else if (!x.exact && !y.exact && x.value == y.value)
      out[name] = {x.value, false, line};
  }
  return out;
}

// An operand of a comparison: a known variable, or a number literal no variable shadows.
std::optional<Known> operandOf(const Word& w, const State& state, const std::unordered_map<std::string, bool>& vars) {
  if (auto it = state.find(w.text); it != state.end()) return it->second;
  if (vars.count(w.text) || w.text.empty() || !isNumberLiteral(w.text, false)) return std::nullopt;
  return Known{w.number, true, -1};
}

std::optional<bool> decide(int form, const Known& a, const Known& b) {
  if (!b.exact) return std::nullopt;
  if (!a.exact) {
    if (a.value != b.value) return std::nullopt;
    if (form == 8) return false;
    if (form == 5) return true;
    return std::nullopt;
  }
  switch (form) {
    case 3:
      return a.value <= b.value;
    case 4:
      return a.value >= b.value;
    case 5:
      return a.value != b.value;
    case 6:
      return a.value < b.value;
    case 7:
      return a.value > b.value;
    case 8:
      return a.value == b.value;
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
      if (a && b) o.verdict = decide(l.d.ifForm, *a, *b);
      // "IF x=N" and "IF x<>N": each path learns what x is or is not.
      const std::string& name = l.d.truthWord(1).text;
      if (!o.verdict && b && b->exact && b->line < 0 && vars.count(name) && (l.d.ifForm == 8 || l.d.ifForm == 5)) {
        const Known is{b->value, true, -1}, isNot{b->value, false, -1};
        state[name] = l.d.ifForm == 8 ? is : isNot;
        o.before[name] = l.d.ifForm == 8 ? isNot : is;
      }
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
        state[name] = {value->value, value->exact, i};
      else
        state.erase(name);
    }
  }
  if (!lost && open.empty()) flush();
}

void checkLostAssignments(Context& ctx) {
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kAssign) || (l.rows & (kAddSub | kMulDiv | kIf | kTalk)) || l.made != Made::Copy) continue;
    if (!ctx.runnable[static_cast<std::size_t>(i)]) continue;
    const std::string& name = l.d.truthWord(0).text;
    if (name.size() < 2 || l.d.truthWord(1).text == name) continue;
    int depth = 0;  // IF blocks opened after line i and not yet closed
    // Looked for within a screenful of lines: a value replaced further down is no slip of order.
    const int end = std::min(ctx.size(), i + 200);
    for (int j = i + 1; j < end; ++j) {
      const ProgramLine& m = ctx.line(j);
      if (ctx.isLabel(j) || m.made != Made::Copy) break;
      if (m.d.count == 0 || (m.rows & kComment)) continue;
      if (m.rows & (kRead | kTalk | kRedo | kReturn | kGoto | kJump | kPushIndex | kPopIndex | kVip | kClear)) break;
      // Anything that names the variable may read it (a condition, a text's [#name], a sum).
      const bool sets = (m.rows & kAssign) && !(m.rows & (kAddSub | kMulDiv | kIf)) && m.d.truthWord(0).text == name &&
                        m.d.truthWord(1).text != name;
      if (!sets && containsLowered(m.d.statement, name)) break;
      if ((m.marks & kOpensIf) || (m.rows & kIf)) {
        ++depth;
        continue;
      }
      if (m.marks & kClosesIf) {
        if (depth-- == 0) break;
        continue;
      }
      if (!sets) continue;
      if (depth > 0 || m.d.oneShot || m.text.starts_with("^")) break;
      ctx.report.at(l, Severity::Warning,
                    concat("Значение, которое строка "_w, quoted(l.text),
                           " даёт переменной, ничем не читается: "
                           "строка "_w,
                           quoted(m.text), " ниже ("_w, std::to_string(m.origin + 1),
                           ") сразу его заменяет. Вероятно, строки переставлены: поставьте присваивание туда, "
                           "где значение нужно, или удалите его."_w),
                    "lost-assignment");
      break;
    }
  }
}

}  // namespace marvo::check
