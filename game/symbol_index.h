// The symbols of a scenario and its library: locations, objects, variables, talk patterns and
// buttons, where each is defined and where it is used, kept up to date line by line as the text
// is edited.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/decode.h"
#include "program_builder.h"

namespace marvo {

enum class SymbolKind : std::uint8_t {
  Location,  // a label ":name"; used by GOTO/GOTOS/ИДТИ, JUMP/JUMPS, call, btn, IF LOCATION=name,
             // and as a place: IF x_Расположение=name, x_Расположение=name (a place may also be a
             // container object: the index cannot tell and files it here)
  Object,  // CREATE name; used by property lines, IF name_Расположение=…, SHOWITEM, EXAMINE/ИЗУЧИТЬ
  Variable,  // defined by name=… (also +, -, *, /) and VIP name; used in IF, in the right side of
             // an assignment (number literals are none), in "#name" of a text or menu line, by CLEAR
  Talk,      // an alternative of a TALK/ПАРС pattern, its words joined by one blank
  Button,    // a menu item: the text of btn [text] or do text, and a menu line "@text" (these
             // names keep "<object>", and may be empty)
};

enum class SymbolRole : std::uint8_t {
  Definition,  // the label line, CREATE, an assignment or VIP, the TALK line, the btn/do/menu line
  Property,    // a property line of an object (name_Расположение=…, name_Описание=…)
  Reference,   // every other use
};

// One occurrence of a symbol. `line` is 0-based in the scenario or the library (source is never
// LineOrigin::Game). `name` is lower-cased, as the engine compares it (a location without its
// ":"), and stays valid until the index next changes.
struct Symbol {
  SymbolKind kind;
  SymbolRole role;
  LineOrigin::Source source;
  int line;
  std::string_view name;

  friend bool operator==(const Symbol&, const Symbol&) = default;
};

// The index reads each line as game start makes program lines of it (program_builder: comments
// dropped, labels lower-cased, btn/do/call/ret expanded) and as the engine decodes those lines
// (engine/decode: lower-cased, trimmed, cut into words, the statements that execute on the line;
// "<object>" stands for the current object, and names holding it are left out). A symbol belongs
// to one source line only, so an edit of a line touches that line's symbols alone.
//
// The library counts at run time only when some scenario line contains "return": game start splices
// it in before each such line. Where a name is defined more than once, the first definition in the
// program wins (for a location the engine's label index, for an object the first CREATE): the
// scenario's lines above the first "return" line, then the library, then the rest of the scenario.
class SymbolIndex {
 public:
  using Source = LineOrigin::Source;  // Scenario or Library

  SymbolIndex() = default;
  SymbolIndex(const std::vector<std::string>& scenario, const std::vector<std::string>& library);
  SymbolIndex(SymbolIndex&&) = default;  // lines point into the entries: moved, never copied
  SymbolIndex& operator=(SymbolIndex&&) = default;

  // Indexes both texts afresh.
  void build(const std::vector<std::string>& scenario, const std::vector<std::string>& library);

  // One-line edits of either text: only that line is read again (the lines after an inserted or
  // removed one are renumbered). `line` must be a line of the text (for insertLine: the line to
  // insert before, or lineCount to append).
  void replaceLine(Source source, int line, std::string_view text);
  void insertLine(Source source, int line, std::string_view text);
  void removeLine(Source source, int line);

  int lineCount(Source source) const { return static_cast<int>(lines(source).size()); }

  // The first definition in program order, as above (for a location or an object the one the game
  // uses); none when the name is not defined, or defined only in a library that is not spliced in.
  std::optional<Symbol> definition(SymbolKind kind, std::string_view name) const;
  // Every occurrence of the name (any letter case; a location without ":"), the scenario's in line
  // order, then the library's; definitions and references keep only those roles (references: the
  // property lines and the other uses).
  std::vector<Symbol> occurrences(SymbolKind kind, std::string_view name) const;
  std::vector<Symbol> definitions(SymbolKind kind, std::string_view name) const;
  std::vector<Symbol> references(SymbolKind kind, std::string_view name) const;
  // Every definition of a kind in one text, in line order.
  std::vector<Symbol> allDefinitions(SymbolKind kind, Source source = Source::Scenario) const;
  // The symbols on one line, in the order the engine meets them.
  std::vector<Symbol> symbolsOn(Source source, int line) const;

  // A btn or do line that game start cannot expand (it stops there with an index error); it has no
  // symbols. The lines after it are indexed as if game start went on.
  bool broken(Source source, int line) const;
  std::vector<int> brokenLines(Source source) const;

  // The first scenario line containing "return" (any case), before which the library first comes.
  std::optional<int> spliceLine() const;
  bool librarySpliced() const { return spliceLine() && !lines(Source::Library).empty(); }

  // Same symbols on the same lines (for tests of the incremental update against a fresh build).
  friend bool operator==(const SymbolIndex& a, const SymbolIndex& b);

 private:
  struct Use {
    int line;
    SymbolRole role;
    friend auto operator<=>(const Use&, const Use&) = default;
  };
  struct Entry {
    std::string key;           // the kind's code, then the name
    std::vector<Use> uses[2];  // per source, sorted
    SymbolKind kind() const { return static_cast<SymbolKind>(key[0]); }
    std::string_view name() const { return std::string_view(key).substr(1); }
  };
  struct Slot {
    Entry* entry;
    SymbolRole role;
  };
  struct Line {
    std::vector<Slot> symbols;
    bool broken = false;
  };

  std::vector<Line>& lines(Source source) { return lines_[source == Source::Library ? 1 : 0]; }
  const std::vector<Line>& lines(Source source) const { return lines_[source == Source::Library ? 1 : 0]; }
  static int slot(Source source) { return source == Source::Library ? 1 : 0; }

  void indexText(Source source, const std::vector<std::string>& text);
  void indexLine(Source source, int line, std::string_view text);
  void noteReturn(int line, bool returns);
  void indexProgram(const BuiltProgram& built);
  void indexProgramLine(Source source, int line, std::string_view stored, bool generated);
  void add(Source source, int line, SymbolKind kind, SymbolRole role, std::string_view name);
  void forget(Source source, int line);
  void shift(Source source, int from, int delta);
  const Entry* find(SymbolKind kind, std::string_view name) const;
  Symbol symbol(const Entry& entry, const Use& use, Source source) const;
  std::vector<Symbol> collect(SymbolKind kind, std::string_view name, int roles) const;

  std::vector<Line> lines_[2];
  std::unordered_map<std::string, Entry> entries_;
  std::vector<int> returnLines_;  // scenario lines containing "return", in order
  std::string key_;               // scratch: a lookup key
  std::string raw_;               // scratch: a line as the run cycle sees it
  DecodedLine decoded_;           // scratch: that line decoded
  std::vector<Piece> pieces_;     // scratch: the pieces of a text line
  std::string button_;            // scratch: a button's name
};

}  // namespace marvo
