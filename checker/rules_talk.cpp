// Talk patterns: a pattern that an earlier pattern of the same location always beats, and choice
// numbers that collide (restarted numbering, ten or more choices, digit patterns of the author).
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "context.h"
#include "engine/text.h"
#include "game/talk_matcher.h"

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
        ctx.report.at(l, Severity::Error,
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

namespace marvo::check {

using namespace literals;

namespace {

bool latin(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool cyrillic(unsigned char c) { return c >= 0xC0 || c == 0xA8 || c == 0xB8; }

// What keeps a pattern word from matching what a player types, or "".
std::string wordProblem(std::string_view word) {
  if (word == "<object>") return {};
  for (std::string_view q : {"«"_w, "»"_w, "\""_w, "'"_w, "„"_w, "“"_w, "”"_w})
    if (word.find(q) != std::string_view::npos)
      return concat("в слове "_w, quoted(word), " есть кавычка "_w, q,
                    ": она остаётся частью слова, и ввод без неё не подойдёт. Уберите кавычки."_w);
  for (char b : std::string_view("()[]{}<>"))
    if (word.find(b) != std::string_view::npos)
      return concat("в слове "_w, quoted(word), " есть «"_w, std::string_view(&b, 1),
                    "»: игра убирает только первую пару круглых скобок (и только после «talk» строчными), "
                    "остальные скобки остаются частью слова, и ввод без них не подойдёт. Уберите скобки."_w);
  bool hasLatin = false, hasCyrillic = false;
  for (unsigned char c : word) {
    hasLatin = hasLatin || latin(c);
    hasCyrillic = hasCyrillic || cyrillic(c);
  }
  if (hasLatin && hasCyrillic)
    return concat("в слове "_w, quoted(word),
                  " латинские буквы стоят вместе с русскими: игрок не наберёт такое слово. Разделите варианты "
                  "знаком «/» или исправьте буквы."_w);
  return {};
}

}  // namespace

void checkTalkSyntax(Context& ctx) {
  // Every word of every talk pattern with the number of lines it stands on, for telling two words
  // glued together ("наверхвверх").
  std::unordered_map<std::string, int> vocabulary;
  for (int i = 0; i < ctx.size(); ++i) {
    if (!(ctx.line(i).rows & kTalk)) continue;
    std::unordered_set<std::string> here;
    const std::string pattern = talkPattern(ctx.line(i).text);  // the words point into it
    for (auto alt : splitRuns(pattern, '/', 20))
      for (auto word : splitRuns(alt, ' ', 10))
        if (word.size() >= 3 && here.emplace(word).second) ++vocabulary[std::string(word)];
  }
  auto known = [&](std::string_view w) { return vocabulary.count(std::string(w)) != 0; };
  // Where a word splits into two known words of four letters or more (shorter ones are prefixes
  // and prepositions: "про" + "читать"); 0 when it does not, or when it stands on another line.
  auto glued = [&](std::string_view word) -> std::size_t {
    if (word.size() < 8 || word.size() > 40 || vocabulary.size() > 20000) return 0;
    if (auto it = vocabulary.find(std::string(word)); it != vocabulary.end() && it->second > 1) return 0;
    for (std::size_t cut = 4; cut + 4 <= word.size(); ++cut)
      if (known(word.substr(0, cut)) && known(word.substr(cut))) return cut;
    return 0;
  };
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kTalk) || l.made != Made::Copy) continue;
    const std::string pattern = talkPattern(l.text);
    std::string problem;
    bool anyWord = false;
    for (auto alt : splitRuns(pattern, '/', 20)) {
      const auto words = splitRuns(alt, ' ', 10);
      for (auto word : words) {
        anyWord = true;
        if (problem.empty()) problem = wordProblem(word);
        if (const std::size_t cut = problem.empty() ? glued(word) : 0)
          problem = concat("слово "_w, quoted(word), " похоже на два слова, "_w, quoted(word.substr(0, cut)), " и "_w,
                           quoted(word.substr(cut)),
                           ", склеенных без «/»: ввод игрока к нему не подойдёт. Разделите их знаком «/»."_w);
      }
      // A lone Russian letter is found inside almost any input the player types (beside other
      // words it adds nothing, and a Latin one rarely occurs in Russian input).
      if (problem.empty() && words.size() == 1 && words[0].size() == 1 &&
          cyrillic(static_cast<unsigned char>(words[0][0])))
        problem = concat("вариант "_w, quoted(words[0]),
                         " из одной буквы: слова образца ищутся внутри ввода, и он подойдёт почти к любой "
                         "команде. Напишите слово целиком."_w);
    }
    if (!anyWord)
      problem = std::string("в нём нет ни одного слова, и никакой ввод к нему не подойдёт. Допишите команду."_w);
    if (problem.empty()) continue;
    ctx.report.at(l, Severity::Error, concat("Образец "_w, quoted(l.text), ": "_w, problem), "talk-syntax");
  }
}

}  // namespace marvo::check
