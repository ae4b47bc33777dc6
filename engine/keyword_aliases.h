// The keywords that have a Russian alias, with the letters by which the engine recognises each in
// either language, and the rules by which the skips and game start see them: one table for game
// start, the engine, the checker, the editor and the reference. Windows-1251, lower-case, as the
// engine compares (the statement of a line is lower-cased and trimmed).
#pragma once

#include <array>
#include <string_view>

#include "text.h"

namespace marvo {

struct KeywordAlias {
  std::string_view keyword;      // the English keyword in full: "endif"
  std::string_view stem;         // the English letters the engine looks for: "endi"
  std::string_view russian;      // the Russian alias in full: "конец"
  std::string_view russianStem;  // the Russian letters the engine looks for: "коне"

  // Does `s` start with either stem?
  constexpr bool starts(std::string_view s) const { return s.starts_with(stem) || s.starts_with(russianStem); }
  // Does `s` hold either stem anywhere?
  constexpr bool occurs(std::string_view s) const {
    return s.find(stem) != std::string_view::npos || s.find(russianStem) != std::string_view::npos;
  }
  // Is `word` either stem itself?
  constexpr bool matches(std::string_view word) const { return word == stem || word == russianStem; }
};

namespace alias {
inline constexpr KeywordAlias kTalk{"talk", "talk", "парс"_w, "парс"_w};
inline constexpr KeywordAlias kRedo{"redo", "redo", "вверх"_w, "ввер"_w};
inline constexpr KeywordAlias kIf{"if", "if", "если"_w, "если"_w};
inline constexpr KeywordAlias kEndif{"endif", "endi", "конец"_w, "коне"_w};
inline constexpr KeywordAlias kGoto{"goto", "goto", "идти"_w, "идти"_w};
inline constexpr KeywordAlias kRead{"read", "read", "ждать"_w, "ждат"_w};
inline constexpr KeywordAlias kExamine{"examine", "exam", "изучить"_w, "изуч"_w};
// Every keyword that has a Russian alias.
inline constexpr std::array<KeywordAlias, 7> kAliased = {kTalk, kRedo, kIf, kEndif, kGoto, kRead, kExamine};
}  // namespace alias

// The skip of a false IF, line by line from the IF: a statement starting with "if" or "если" opens
// a level, one holding "endi" anywhere or starting with "коне" closes one; the skip stops on the
// line that closes the IF's own level, and execution goes on from that line.
constexpr bool opensIfLevel(std::string_view statement) { return alias::kIf.starts(statement); }
constexpr bool closesIfLevel(std::string_view statement) {
  return statement.find(alias::kEndif.stem) != std::string_view::npos ||
         statement.starts_with(alias::kEndif.russianStem);
}

// The skip of a talk block: a statement starting with "talk" or "парс" opens a level, one starting
// with "redo" or "ввер" closes one.
constexpr bool opensTalkLevel(std::string_view statement) { return alias::kTalk.starts(statement); }
constexpr bool closesTalkLevel(std::string_view statement) { return alias::kRedo.starts(statement); }

// A line that holds "talk" or "парс" as written (letter case counts) keeps its "<object>" as it is
// at run time, and game start blanks its first "(" and first ")".
constexpr bool mentionsTalk(std::string_view line) { return alias::kTalk.occurs(line); }

}  // namespace marvo
