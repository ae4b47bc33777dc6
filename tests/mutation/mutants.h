// Single-line author mistakes planted in a scenario or library text, seeded and deterministic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::mutation {

// The kinds of mistake, each a slip an author makes in one line (or two neighbouring lines).
enum class Kind {
  TalkPattern,       // a broken TALK pattern: alternatives glued, a lone bracket or quote, an empty alternative
  SwapLines,         // two neighbouring lines swapped
  MisspeltName,      // an object, location or variable misspelt in an IF or a property value
  MisspeltTarget,    // the label of a GOTO, JUMP or btn misspelt
  MisspeltKeyword,   // two letters of the statement's keyword swapped (ENDFI, GTOO)
  Utf8Bytes,         // the line pasted as UTF-8 into the Windows-1251 text
  DeletedIf,         // an IF line deleted, its ENDIF left alone
  DeletedRead,       // a READ line deleted
  DeletedGoto,       // a GOTO line deleted
  DeletedRedo,       // a REDO line deleted
  AtAsQuote,         // "@" of a menu line typed as '"'
  DroppedBang,       // "!" of a text line dropped
  IfAsFi,            // IF typed as FI
  RenamedCommon,     // ":common" misspelt
  ReturnInText,      // "return" written in a scenario's text line (the library is spliced in there)
  NegativeLiteral,   // "x = -5" (the minus is a delimiter: 5 is stored)
  NotEqualLocation,  // "<>" in a test of a location or an object's place (always "=")
  SpacedProperty,    // blanks around "=" of a text property (descriptor, content, description: they become part
                     // of the text)
};
inline constexpr std::size_t kKindCount = static_cast<std::size_t>(Kind::SpacedProperty) + 1;

// English kebab-case name ("talk-pattern").
std::string_view kindName(Kind kind);

// One line replaced by another text (Windows-1251); an empty text stands for a deleted line, so
// the other lines keep their numbers.
struct Edit {
  std::size_t line = 0;  // 0-based
  std::string text;
};

struct Mutant {
  Kind kind = Kind::SwapLines;
  std::vector<Edit> edits;
  std::vector<int> lines;  // 1-based lines a report of this mistake belongs on
};

// Every mutant of `kind` the text offers, one per line it applies to (the variant drawn from
// `seed`, the kind and the line, so a mutant does not depend on the others). Lines the mutation
// would leave unchanged give none.
std::vector<Mutant> mutantsOf(Kind kind, const std::vector<std::string>& text, std::uint64_t seed);

// The text with the mutant's edits applied.
std::vector<std::string> apply(const std::vector<std::string>& text, const Mutant& mutant);

// A deterministic pick of at most `count` positions of `size`, ascending.
std::vector<std::size_t> samplePositions(std::size_t size, std::size_t count, std::uint64_t seed);

// A deterministic pick of at most `count` of `items`, in their order.
template <typename T>
std::vector<T> sample(std::vector<T> items, std::size_t count, std::uint64_t seed) {
  std::vector<T> out;
  for (std::size_t i : samplePositions(items.size(), count, seed)) out.push_back(std::move(items[i]));
  return out;
}

}  // namespace marvo::mutation
