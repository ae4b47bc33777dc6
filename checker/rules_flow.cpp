// Labels and jumps, IF/ENDIF and TALK/REDO pairing, location ends and reachability.
#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "context.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "skip_stops.h"

namespace marvo::check {

using namespace literals;

namespace {

std::string lineRef(const Context& ctx, int i, std::string_view word = "строке"_w) {
  const ProgramLine& l = ctx.line(i);
  return concat(word, " ", std::to_string(l.origin + 1),
                l.source == Source::Library ? concat(" библиотеки "_w, ctx.input.libraryName) : std::string());
}

// The label nearest to `target` by edit distance, or "" (only for modest label counts).
std::string suggestLabel(const Context& ctx, std::string_view target, int& budget) {
  if (budget <= 0 || ctx.labels.size() > 3000 || target.size() > 40) return {};
  --budget;
  std::string best;
  int bestDistance = target.size() <= 4 ? 1 : 2;
  for (const auto& [label, line] : ctx.labels) {
    const std::string_view name = std::string_view(label).substr(1);
    const int dist = editDistance(name, target, bestDistance);
    if (dist <= bestDistance && (best.empty() || dist < bestDistance)) {
      best = label;
      bestDistance = dist;
    }
  }
  return best;
}

// The first label line after `from` and before `to`, or -1.
int labelBetween(const Context& ctx, int from, int to) {
  auto it = std::upper_bound(ctx.labelLines.begin(), ctx.labelLines.end(), from);
  return it != ctx.labelLines.end() && *it < to ? *it : -1;
}

// The last line before `label` that is not blank, after `from` (else `from`).
int lastStatementBefore(const Context& ctx, int from, int label) {
  for (int k = label - 1; k > from; --k)
    if (ctx.line(k).d.count != 0 && !(ctx.line(k).rows & kComment)) return k;
  return from;
}

}  // namespace

void checkLabelsAndJumps(Context& ctx) {
  int suggestions = 200;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    const DecodedLine& d = l.d;
    if (l.text.starts_with(":")) {
      const int first = ctx.labels.at(lower(l.text));
      const ProgramLine& f = ctx.line(first);
      // A scenario location that shadows a library location of the same name is the library's
      // hook (the game's own ":подсказки", say): jumps from the library land in the scenario.
      const bool overridesLibrary = f.source == Source::Scenario && l.source == Source::Library;
      if (first != i && !overridesLibrary && (f.source != l.source || f.origin != l.origin))
        ctx.report.at(l, Severity::Error,
                      concat("Метка "_w, quoted(l.text), " уже есть в "_w, lineRef(ctx, first),
                             ": переходы ведут туда, а эта локация достижима только сверху. "
                             "Переименуйте одну из меток."_w),
                      "duplicate-label");
      continue;
    }
    const bool jumpLike = (alias::kGoto.starts(d.statement) || d.statement.starts_with("jump")) &&
                          !(l.rows & (kComment | kLabel | kProperty | kIf | kTalk | kReturn));
    if (!jumpLike) continue;
    const bool button = l.made == Made::Button;
    const bool call = l.made == Made::Call;
    if (!(l.rows & (kGoto | kJump))) {
      const std::string target = trim(std::string_view(l.text).substr(4));
      if (button)
        ctx.report.at(l, Severity::Error,
                      concat("После «]» кнопки должна стоять одна метка, а стоит "_w, quoted(target),
                             ": выбор этой кнопки ничего не сделает. Напишите «btn [Текст] метка»."_w),
                      "malformed-btn");
      else if (call)
        ctx.report.at(l, Severity::Error,
                      concat("После CALL должна стоять одна метка, а стоит "_w, quoted(target),
                             ": переход не выполнится, и выполнение пойдёт дальше. Напишите «call метка»."_w),
                      "malformed-call");
      else
        ctx.report.at(l, Severity::Error,
                      concat("Строка "_w, quoted(l.text),
                             " ничего не делает: после GOTO или JUMP должно стоять ровно одно слово — "
                             "метка (без пробелов и знаков + - = < > * / , ; ( ))."_w),
                      "malformed-goto");
      continue;
    }
    const std::string& target = d.truthWord(1).text;
    if (ctx.labels.count(":" + target) || target.find(kAnyObject) != std::string::npos) continue;
    std::string what = button ? concat("Кнопка ведёт к метке "_w, quoted(d.word(1).text))
                       : call ? concat("CALL ведёт к метке "_w, quoted(d.word(1).text))
                              : concat("Переход "_w, quoted(l.text), " ведёт к метке "_w, quoted(d.word(1).text));
    std::string text = concat(what, ", а такой метки нет: игра покажет «Нет метки для перехода!»."_w);
    if (target != d.word(1).text)
      text += concat(" Слово начинается с «да», «нет», «true» или «fals», поэтому ищется метка «:"_w, target,
                     "». Переименуйте метку."_w);
    else if (auto near = suggestLabel(ctx, target, suggestions); !near.empty())
      text += concat(" Возможно, имелась в виду "_w, quoted(near), "."_w);
    else
      text += concat(" Добавьте локацию «:"_w, target, "» или исправьте имя."_w);
    ctx.report.at(l, Severity::Error, std::move(text), "missing-label");
  }
}

void checkBlocks(Context& ctx) {
  const auto marksOf = [&](int k) { return ctx.line(k).marks; };
  const SkipStops ifSkip(ctx.size(), marksOf, kOpensIf, kClosesIf);
  const SkipStops talkSkip(ctx.size(), marksOf, kOpensTalk, kClosesTalk);
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.rows & kIf) {
      const int k = ifSkip.stop(i);
      if (k < 0) {
        ctx.report.at(l, Severity::Error,
                      concat("IF "_w, quoted(l.text),
                             " без ENDIF: при ложном условии игра покажет «Не найден Endif». "
                             "Закройте блок строкой ENDIF."_w),
                      "unclosed-if");
      } else if (int label = labelBetween(ctx, i, k); label >= 0) {
        ctx.report.at(l, Severity::Error,
                      concat("IF "_w, quoted(l.text), " не закрыт ENDIF до метки "_w, quoted(ctx.line(label).text),
                             ": при ложном условии пропуск уйдёт в другую локацию (до "_w, lineRef(ctx, k, "строки"_w),
                             "). Закройте блок строкой ENDIF."_w),
                      "unclosed-if");
      } else if (const ProgramLine& end = ctx.line(k); !(end.marks & kEndifWord)) {
        // The skip stops on a line that is no ENDIF as written, and execution goes on from it.
        const std::string t = lower(trimView(end.text));
        const std::string_view stem = t.starts_with(alias::kEndif.stem)          ? alias::kEndif.stem
                                      : t.starts_with(alias::kEndif.russianStem) ? alias::kEndif.russianStem
                                                                                 : std::string_view();
        if (stem.empty())
          ctx.report.at(end, Severity::Error,
                        concat("Строка "_w, quoted(end.text), " содержит «endi»: пропуская блок IF из "_w,
                               lineRef(ctx, i, "строки"_w),
                               ", игра примет её за ENDIF, и блок закончится здесь. "
                               "Измените это слово."_w),
                        "taken-as-endif");
        else
          ctx.report.at(end, Severity::Error,
                        concat("Строка "_w, quoted(end.text), " начинается с «"_w, stem, "…»: пропуская блок IF из "_w,
                               lineRef(ctx, i, "строки"_w),
                               ", игра примет её за ENDIF — пропущенный блок закончится здесь, а сама строка "
                               "выполнится и при ложном условии. "_w,
                               end.rows & (kAssign | kAddSub | kMulDiv) ? "Переименуйте переменную."_w
                                                                        : "Измените первое слово."_w),
                        "taken-as-endif");
      }
    }
    if (l.rows & kTalk) {
      const int k = talkSkip.stop(i);
      if (k < 0)
        ctx.report.at(l, Severity::Error,
                      concat("Блок "_w, quoted(l.text),
                             " не закрыт REDO: игра покажет «Не найдена комманда REDO или RETURN». "
                             "Закончите блок строкой REDO."_w),
                      "talk-without-redo");
      else if (int label = labelBetween(ctx, i, k); label >= 0)
        // Told on the location's last line, before which the REDO is missing.
        ctx.report.at(ctx.line(lastStatementBefore(ctx, i, label)), Severity::Error,
                      concat("Блок "_w, quoted(l.text), " не закрыт REDO до метки "_w, quoted(ctx.line(label).text),
                             ": пропуск захватит следующую локацию. Закончите блок строкой REDO."_w),
                      "talk-without-redo");
    }
  }

  // ENDIF lines that close nothing (a line that runs as a statement is no ENDIF then), and lines
  // inside a talk block that its skip takes for the start of another.
  int depth = 0;
  int talkDepth = 0;  // the level the skip of the current talk block counts (0: outside every block)
  // Where a lost IF would have stood: the lines at the top level since the last talk line, REDO
  // or closed IF block (first any line, first one that is not a text), and the place before the
  // last closed IF block at the top level, for an ENDIF that follows it at once.
  int firstLine = -1, firstNonText = -1, beforeBlock = -1, blockPick = -1;
  bool takenAsEndif = false;  // a line that is no ENDIF closed a block here: that explains a lone ENDIF
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.text.starts_with(":")) {
      depth = 0;
      talkDepth = 0;
      firstLine = firstNonText = beforeBlock = blockPick = -1;
      takenAsEndif = false;
      continue;
    }
    const std::uint8_t m = l.marks;
    const bool talkEdge = (m & (kOpensTalk | kClosesTalk)) || (l.rows & (kTalk | kRedo));
    if (talkEdge && depth == 0) firstLine = firstNonText = beforeBlock = blockPick = -1;
    if ((m & kOpensIf) && depth == 0) blockPick = firstNonText >= 0 ? firstNonText : i;
    if (m & kOpensIf) ++depth;
    if (m & kClosesIf) {
      if (depth > 0) {
        if (!(m & kEndifWord)) takenAsEndif = true;
        if (--depth == 0) {
          beforeBlock = blockPick;
          firstLine = firstNonText = -1;
        }
      } else if (m & kEndifWord) {
        ctx.report.at(l, Severity::Error,
                      std::string("ENDIF без IF: перед ним в этой локации нет открытого IF. "
                                  "Удалите строку или добавьте IF."_w),
                      "endif-without-if");
        const int pick = firstNonText >= 0 ? firstNonText : firstLine >= 0 ? firstLine : beforeBlock;
        if (pick >= 0 && !takenAsEndif && ctx.line(pick).source == l.source)
          ctx.report.at(ctx.line(pick), Severity::Error,
                        concat("Строки до ENDIF (строка "_w, std::to_string(l.origin + 1),
                               ") закрыты ENDIF, но не открыты IF и выполняются всегда. IF, вероятно, пропущен "
                               "рядом с этой строкой. Добавьте IF перед строками условия."_w),
                        "missing-if");
        firstLine = firstNonText = beforeBlock = -1;
      }
    }
    const bool structural = talkEdge || (m & (kOpensIf | kClosesIf)) || (l.rows & kIf);
    if (depth == 0 && !structural && l.d.count != 0 && !(l.rows & kComment)) {
      if (firstLine < 0) firstLine = i;
      if (firstNonText < 0 && !(l.rows & kText)) firstNonText = i;
      beforeBlock = -1;
    }
    if (talkDepth == 0) {
      // A talk line starts a block; one that does not start with "talk" itself stops its own skip.
      if ((l.rows & kTalk) && (m & kOpensTalk)) talkDepth = 1;
      continue;
    }
    if (m & kOpensTalk) {
      if (!(l.rows & kTalk) && l.made == Made::Copy)
        ctx.report.at(l, Severity::Error,
                      concat("Строка "_w, quoted(l.text),
                             " начинается с «talk» или «парс»: пропуская блок TALK, игра сочтёт её началом "
                             "нового блока, и REDO закроет не тот блок. Измените первое слово."_w),
                      "taken-as-talk");
      ++talkDepth;
    }
    if (m & kClosesTalk) --talkDepth;
  }
}

namespace {

enum class End { Stops, Falls, Unknown };

// Does the segment (label line a, next label b) stop before b at its top level? Unknown when an
// IF or TALK block in it is left open (that is reported by its own rule).
End segmentEnd(const Context& ctx, int a, int b) {
  int ifDepth = 0;
  int talkDepth = 0;
  for (int i = a + 1; i < b; ++i) {
    const ProgramLine& l = ctx.line(i);
    if (talkDepth > 0) {
      if (l.marks & kOpensTalk) ++talkDepth;
      if (l.marks & kClosesTalk) --talkDepth;
      continue;
    }
    if (l.rows & kTalk) {
      talkDepth = 1;
      continue;
    }
    if (l.rows & kIf) {
      ++ifDepth;
      continue;
    }
    if (l.marks & kClosesIf) {
      if (ifDepth > 0) --ifDepth;
      continue;
    }
    // The JUMP of a call comes back (POPINDEX returns behind it): it does not end the location.
    const std::uint32_t ends = l.made == Made::Call ? (kReturn | kRead | kGoto | kRedo | kPopIndex)
                                                    : (kReturn | kRead | kGoto | kJump | kRedo | kPopIndex);
    if (ifDepth == 0 && (l.rows & ends)) return End::Stops;
  }
  return ifDepth > 0 || talkDepth > 0 ? End::Unknown : End::Falls;
}

}  // namespace

void checkLocationEnds(Context& ctx) {
  const auto& labels = ctx.labelLines;
  std::unordered_map<std::string, bool> targeted;
  for (const auto& l : ctx.program.lines)
    if (l.rows & (kGoto | kJump)) targeted[":" + l.d.truthWord(1).text] = true;

  bool fallsIn = true;  // the lines before the first label run into it
  if (!labels.empty() && labels.front() > 0) fallsIn = segmentEnd(ctx, -1, labels.front()) != End::Stops;
  for (std::size_t n = 0; n < labels.size(); ++n) {
    const int a = labels[n];
    const int b = n + 1 < labels.size() ? labels[n + 1] : ctx.size();
    const ProgramLine& l = ctx.line(a);
    const bool common = l.text == ":common";
    const std::string key = lower(l.text);
    if (!common && !fallsIn && !targeted.count(key) && ctx.labels.at(key) == a)
      ctx.report.at(l, Severity::Warning,
                    concat("До локации "_w, quoted(l.text),
                           " не доходит ни один GOTO, JUMP, btn или call, и предыдущая локация в неё не "
                           "переходит. Добавьте переход или удалите локацию."_w),
                    "unreachable-location");
    const End end = segmentEnd(ctx, a, b);
    fallsIn = end != End::Stops;
    if (end != End::Falls) continue;
    if (common) {
      ctx.report.at(l, Severity::Error,
                    n + 1 < labels.size()
                        ? concat("Локация «:common» не заканчивается RETURN: после каждого READ выполнение "
                                 "перейдёт в локацию "_w,
                                 quoted(ctx.line(b).text), ". Добавьте RETURN в конце «:common»."_w)
                        : std::string("Локация «:common» не заканчивается RETURN: после каждого READ игра "
                                      "зациклится. Добавьте RETURN в конце «:common»."_w),
                    "common-without-return");
    } else if (n + 1 < labels.size()) {
      // Told at the location's last line, where READ or GOTO is missing.
      int last = b - 1;
      while (last > a && (ctx.line(last).d.count == 0 || (ctx.line(last).rows & kComment))) --last;
      ctx.report.at(ctx.line(last), Severity::Error,
                    concat("Локация "_w, quoted(l.text),
                           " не заканчивается READ, GOTO, JUMP или RETURN: выполнение перейдёт в "
                           "следующую локацию "_w,
                           quoted(ctx.line(b).text), ". Добавьте READ или GOTO в конце."_w),
                    "falls-into-next");
    } else {
      ctx.report.at(l, Severity::Warning,
                    concat("Локация "_w, quoted(l.text),
                           " — последняя и не заканчивается READ, GOTO, JUMP или RETURN: выполнение дойдёт до "
                           "конца сценария. Добавьте READ или GOTO в конце."_w),
                    "runs-past-end");
    }
  }

  // A story driven by btn/do menus takes numbers, not typed commands: it needs no library.
  bool menuDriven = false;
  for (const auto& line : ctx.input.scenario) {
    const std::string key = lower(trimView(line));
    if (key.find("btn") != std::string::npos || key.starts_with("do")) menuDriven = true;
  }
  // A label one or two letters off ":common" is the common section renamed by mistake: READ then
  // ends the turn, and neither the library nor the section runs after it.
  if (ctx.commonLine < 0) {
    for (int a : labels) {
      const std::string_view name = std::string_view(ctx.line(a).text).substr(1);
      if (name.size() < 4 || editDistance(name, "common", 2) > 2) continue;
      ctx.report.at(ctx.line(a), Severity::Error,
                    concat("Метка "_w, quoted(ctx.line(a).text),
                           " похожа на «:common», но общей локацией игра считает только строку «:common» "
                           "точно: после READ эта локация выполняться не будет. Исправьте метку."_w),
                    "common-misspelt");
      return;
    }
  }
  if (ctx.libraryHasText && !menuDriven && (!ctx.program.scenarioHasReturn || ctx.commonLine < 0)) {
    // With a line containing "return" the library is in the program, but without ":common" READ
    // never leads to it: every command of the library is lost.
    const bool lost = ctx.program.scenarioHasReturn;
    ctx.report.add(Source::Scenario, 1, lost ? Severity::Error : Severity::Warning,
                   concat("В сценарии нет локации «:common» со строкой RETURN, поэтому библиотека "_w,
                          quoted(ctx.input.libraryName),
                          " не будет вставлена или не будет выполняться после READ. Добавьте в конец "
                          "строки «:common» и «RETURN»."_w),
                   "library-not-spliced");
  }
}

}  // namespace marvo::check
