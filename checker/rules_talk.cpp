// Talk patterns: a pattern that an earlier pattern of the same location always beats, and choice
// numbers that collide (restarted numbering, ten or more choices, digit patterns of the author).
#include <algorithm>

#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

using Alternative = std::vector<std::string>;  // its words

struct Pattern {
  int line = 0;
  std::string text;
  std::vector<Alternative> alternatives;
  bool anyObject = false;  // some alternative has "<object>"
};

// The talk pattern as input matching reads it: keyword blanked, trimmed, lower-cased, split.
Pattern patternOf(const Context& ctx, int i) {
  Pattern p;
  p.line = i;
  std::string t = trim(ctx.line(i).text);
  for (std::size_t k = 0; k < 4 && k < t.size(); ++k) t[k] = ' ';
  p.text = lower(trim(t));
  for (auto alt : splitRuns(p.text, '/', 20)) {
    Alternative words;
    for (auto w : splitRuns(alt, ' ', 10)) {
      if (w == "<object>") p.anyObject = true;
      words.emplace_back(w);
    }
    p.alternatives.push_back(std::move(words));
  }
  return p;
}

// Does every input that matches `b` also match `a`? True when `a` has no "<object>" and each of
// its words lies inside some plain word of `b`.
bool covers(const Alternative& a, const Alternative& b, long& budget) {
  if (a.empty()) return false;
  for (const auto& wa : a) {
    if (wa == "<object>") return false;
    bool inside = false;
    for (const auto& wb : b) {
      if (--budget < 0) return false;
      if (wb != "<object>" && wb.find(wa) != std::string::npos) {
        inside = true;
        break;
      }
    }
    if (!inside) return false;
  }
  return true;
}

bool generated(const ProgramLine& l) { return l.made == Made::Button || l.made == Made::Choice; }

}  // namespace

void checkTalkPatterns(Context& ctx) {
  long budget = 4'000'000;       // word comparisons in all; keeps pathological texts linear
  std::vector<Pattern> earlier;  // top-level patterns of the current location, in order
  int talkDepth = 0;
  int ifDepth = 0;
  int lastReset = -1;  // last line of the location whose "read" restarted the choice numbers
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.text.starts_with(":")) {
      earlier.clear();
      talkDepth = ifDepth = 0;
      lastReset = -1;
      continue;
    }
    if (talkDepth > 0) {
      if (l.marks & kOpensTalk) ++talkDepth;
      if (l.marks & kClosesTalk) --talkDepth;
      continue;
    }
    if ((l.marks & kResetsChoices) && (l.made == Made::Copy || (generated(l) && l.text.starts_with("@"))) &&
        l.source == Source::Scenario && !(l.rows & kRead))
      lastReset = i;
    if (l.rows & kIf)
      ++ifDepth;
    else if ((l.marks & kClosesIf) && ifDepth > 0)
      --ifDepth;
    if (!(l.rows & kTalk)) continue;
    talkDepth = 1;
    Pattern p = patternOf(ctx, i);
    const Pattern* by = nullptr;
    bool all = !p.alternatives.empty();
    for (const auto& b : p.alternatives) {
      const Pattern* found = nullptr;
      for (const auto& e : earlier) {
        for (const auto& a : e.alternatives)
          if (covers(a, b, budget)) {
            found = &e;
            break;
          }
        if (found) break;
      }
      if (!found) {
        all = false;
        break;
      }
      if (!by) by = found;
    }
    if (all && by) {
      const ProgramLine& shadow = ctx.line(by->line);
      const bool mine = generated(l), theirs = generated(shadow);
      std::string where = concat(" (строка "_w, std::to_string(shadow.origin + 1), ")"_w);
      if (mine && theirs) {
        std::string text = concat("Пункт меню номер "_w, std::to_string(l.button),
                                  " нельзя выбрать: его ввод раньше подойдёт к пункту "_w, by->text, where, "."_w);
        if (lastReset >= 0 && lastReset > by->line)
          text += concat(" Нумерация началась заново из-за строки "_w,
                         quoted(ctx.input.scenario[static_cast<std::size_t>(ctx.line(lastReset).origin)]),
                         ", в которой есть «read»: уберите это слово."_w);
        else
          text += " Оставьте в локации не больше девяти пунктов."_w;
        ctx.report.at(l, Severity::Error, std::move(text), "choice-number-collision");
      } else if (mine || theirs) {
        ctx.report.at(
            l, Severity::Error,
            concat(mine ? concat("Пункт меню номер "_w, std::to_string(l.button)) : concat("Шаблон "_w, quoted(p.text)),
                   " никогда не сработает: его ввод раньше подойдёт к "_w,
                   theirs ? concat("пункту меню номер "_w, std::to_string(shadow.button))
                          : concat("шаблону "_w, quoted(by->text)),
                   where, ". Не используйте числа в шаблонах TALK рядом с кнопками."_w),
            "talk-button-collision");
      } else {
        ctx.report.at(l, Severity::Warning,
                      concat("Шаблон "_w, quoted(p.text),
                             " никогда не сработает: любой подходящий к нему ввод раньше подойдёт к шаблону "_w,
                             quoted(by->text), where, " этой же локации. Переставьте блоки или уточните шаблон."_w),
                      "shadowed-talk");
      }
    }
    if (ifDepth == 0 && earlier.size() < 500) earlier.push_back(std::move(p));
    if (budget < 0) return;
  }
}

}  // namespace marvo::check
