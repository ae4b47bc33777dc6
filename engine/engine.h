// The script engine: runs the program line by line against the runtime state.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiled.h"
#include "decode.h"
#include "host.h"
#include "state.h"

namespace marvo {

// The index error of running past the end of the program (or of a broken line at game start).
// It ends the run and the handler that started it; the window shows what() in a message box.
// A run past the end also carries the place of the message that sent the run there (the line of
// the GOTO without its label, of the talk block without REDO, of the IF without ENDIF).
class IndexError : public std::out_of_range {
 public:
  explicit IndexError(long long index, int line = -1, MessageName nameKind = MessageName::None, std::string name = {});
  long long index() const { return index_; }
  // The program line the error arose at, -1 when unknown, and the name involved.
  int line() const { return line_; }
  MessageContext context() const { return {line_, nameKind_, name_}; }

 private:
  long long index_;
  int line_;
  MessageName nameKind_;
  std::string name_;
};

// The engine's linear congruential generator: state = state * 22695477 + 1, draws bits 16..30.
class Random {
 public:
  // Sets the state to the seed and discards one draw.
  void seed(std::uint32_t s) {
    state_ = s;
    next();
  }
  int next() {
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  // Advances the state as `count` draws would, in O(log count) steps.
  void skip(std::uint64_t count) {
    std::uint32_t mul = 1, add = 0, stepMul = 22695477u, stepAdd = 1u;
    for (; count; count >>= 1) {
      if (count & 1) {
        mul *= stepMul;
        add = add * stepMul + stepAdd;
      }
      stepAdd *= stepMul + 1u;
      stepMul *= stepMul;
    }
    state_ = state_ * mul + add;
  }

 private:
  std::uint32_t state_ = 0;
};

class Engine {
 public:
  Engine();

  // RunProgram: executes from the program counter until a statement stops. Throws IndexError
  // when the program counter stands past the last line at a fetch.
  void run(EngineHost& host);

  const RuntimeState& state() const { return s_; }
  // Direct access for game start, Talk and New. After changing variables or objects this way,
  // call invalidateViews(); after replacing the program, call programChanged().
  RuntimeState& mutableState() { return s_; }
  void invalidateViews();
  void programChanged();

  Random& random() { return random_; }

  // One tick of the game clock, which the main window's clock timer calls every second (variable slot 1, "time").
  void tickClock();

  // A run that executes this many lines without waiting for the player is stopped with a
  // message; the game stays usable.
  void setLineBudget(std::uint64_t lines) { lineBudget_ = lines; }
  std::uint64_t linesExecuted() const { return linesTotal_; }
  static constexpr std::uint64_t kDefaultLineBudget = 50'000'000;
  // A READ shows at most this many of the last text lines and of the last menu lines queued
  // before it: the output pane keeps only the end of a turn anyway, and a long turn keeps bounded
  // memory (older lines are dropped as the queues grow; a run that never stops ends at the line
  // budget).
  static constexpr std::size_t kQueueLimit = 100'000;

  // What the window shows, exactly as the per-line rebuild of the lists (before every line) and
  // of the variable pane (after every line that reaches the monitors) would have left it.
  const std::vector<std::string>& inventoryView() const { return inventory_; }
  const std::vector<std::string>& characteristicsView() const { return characteristics_; }
  std::vector<std::string> monitorView() const;

  // Test hook: called where the literal engine would rebuild the lists (before a line, with
  // `afterLine` false) and rewrite the variable pane (after a line, `afterLine` true).
  void setLineObserver(std::function<void(bool afterLine)> observer) { observer_ = std::move(observer); }

  // Test hook: run every line through the line-at-a-time dispatch only, without the compiled
  // fast path; the two must give the same results.
  void setReferenceDispatch(bool on) { referenceDispatch_ = on; }

  // Variable lookup: the lowest slot whose name equals `name`, or kTableSize.
  int findVariable(std::string_view name) const;
  // Object lookup among the used slots, or kTableSize.
  int findObject(std::string_view name) const;
  // Value of a variable, 0 when absent.
  std::int32_t valueOf(std::string_view name) const;
  // Name of the current object, empty while none is current.
  std::string_view currentObjectName() const;

  // Variable and object changes that keep the indexes and views in step. Used by the engine's
  // statements and by game start, Talk and New.
  void setVariable(int slot, std::string_view name, std::int32_t value);
  void setValue(int slot, std::int32_t value);
  void freeVariable(int slot);
  void resetTables();     // game start: variables emptied, objects emptied but for their content
  void resetVariables();  // New: variables emptied, objects kept

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  template <typename T>
  using NameMap = std::unordered_map<std::string, T, NameHash, std::equal_to<>>;
  enum class Flow { Next, Continue, EndRun };

  bool stepLine(EngineHost& host, std::uint64_t& linesThisRun);
  void runCompiled(EngineHost& host, std::uint64_t& linesThisRun);
  bool compiledPathOpen() const;
  void compileLine(int line);
  bool resolve(CompiledLine& c, int line);
  bool findSkipTarget(CompiledLine& c, int line);
  int skipToEndif(int line, std::int32_t& depth);
  int labelTarget(const DecodedLine& d);
  Flow execute(EngineHost& host, DecodedLine& d, std::string_view raw);
  void message(EngineHost& host, std::string_view text, const MessageContext& context);
  void enterLocation(EngineHost& host);
  void talkBlock(EngineHost& host);
  Flow readStatement(EngineHost& host);
  Flow jumpTo(EngineHost& host, DecodedLine& d, bool jump);
  Flow textLine(EngineHost& host, DecodedLine& d, std::string_view raw);
  void enqueue(std::vector<std::string>& queue, std::string line);
  // Ends a run that was stopped: the queued text and menu lines are dropped, the message says so.
  Flow abandonRun(EngineHost& host, std::string_view reason);
  Flow ifStatement(EngineHost& host, const DecodedLine& d);
  void store(EngineHost& host, const Word& name, std::int32_t value);
  std::int32_t operand(const Word& w) const;
  int lookup(const Word& w) const;
  Flow createObject(EngineHost& host, const DecodedLine& d);
  void propertyAssignment(const DecodedLine& d, std::string raw);
  void showItem(const DecodedLine& d);
  void examine(const DecodedLine& d);
  void vip(EngineHost& host, const DecodedLine& d);
  void clear(const DecodedLine& d);
  std::int32_t visibility(int objectSlot) const;
  void collectObjectsText();

  void setName(int slot, std::string_view name);
  void setKind(int slot, std::string_view kind);
  void touchVariable(int slot, bool nameOrKind);  // marks the slot for the monitor
  void touchObject(int slot);
  void touchTables(int variables, int objects);  // marks slots 0 up to these for the views
  int firstFreeVariable() const;
  int usedObjects() const { return usedObjects_; }

  void rebuildLists();
  void syncMonitor();
  void notifyViews(EngineHost& host);
  DecodedLine& decoded(int line);
  void buildLabelIndex();

  RuntimeState s_;
  Random random_;

  // A scratch entry for substituted lines; the program's own lines are decoded in compiled_.
  DecodedLine scratch_;
  std::string raw_;
  NameMap<int> labels_;  // lower-cased label line -> first line
  bool labelsReady_ = false;
  CompiledProgram compiled_;
  std::uint32_t programVersion_ = 1;  // bumped whenever a stored line changes
  bool referenceDispatch_ = false;
  // Which of the visit's marks (shown flags, once list, talk registry) may hold anything; a run
  // starts assuming all, since the callers change them directly.
  static constexpr std::uint8_t kShownMarks = 1, kOnceMarks = 2, kTalkMarks = 4;
  std::uint8_t visitMarks_ = kShownMarks | kOnceMarks | kTalkMarks;

  // Indexes of the variable and object tables. A change of any variable name bumps the
  // generation, which invalidates the lookups cached in decoded words.
  NameMap<std::vector<int>> varSlots_;  // name -> slots, ascending
  std::array<std::uint64_t, (kTableSize + 63) / 64> freeVars_{};
  std::uint64_t varGeneration_ = 1;
  NameMap<int> objectSlots_;
  int usedObjects_ = 0;

  // Views, kept exactly as the window would show them.
  std::vector<std::string> inventory_{std::string()};
  std::vector<std::string> characteristics_;
  bool listsDirty_ = true;
  struct MonitorShadow {
    std::array<Variable, kTableSize> vars;
    std::array<GameObject, kTableSize> objects;
    int currentObject = kNoObject;
    std::string currentLocation;
    bool written = false;
  };
  std::unique_ptr<MonitorShadow> monitor_;
  bool specialNamesSet_ = false;  // slots 0 to 2 hold "rnd", "time" and "step"
  bool locationChanged_ = true;
  int locationFromLine_ = -1;  // label line the current location was last taken from in this run
  mutable int firstFree_ = 0;
  mutable std::uint64_t firstFreeGeneration_ = 0;
  std::vector<int> dirtyVars_;
  std::vector<int> dirtyObjects_;
  static constexpr std::uint8_t kValueDirty = 1, kNameDirty = 2;
  std::array<std::uint8_t, kTableSize> varDirty_{};
  std::array<bool, kTableSize> objectDirty_{};
  // Slots at and above these have never been changed since the engine was made (or a caller
  // changed the tables directly): a reset need not touch them.
  int variablesUsed_ = 0;
  int objectsUsed_ = 0;
  std::uint64_t viewsVersion_ = 0;
  std::uint64_t notifiedVersion_ = 0;

  // The place of the last message of the current run, handed on to an index error.
  struct LastMessage {
    int line = -1;
    MessageName nameKind = MessageName::None;
    std::string name;
  } lastMessage_;

  std::uint64_t lineBudget_ = kDefaultLineBudget;
  std::uint64_t linesTotal_ = 0;
  std::function<void(bool)> observer_;
};

// Inline: this runs for nearly every executed line.
inline void Engine::setValue(int slot, std::int32_t value) {
  auto i = static_cast<std::size_t>(slot);
  auto& var = s_.vars[i];
  if (var.value == value) return;
  var.value = value;
  // A slot marked for its name or kind is copied whole, value included.
  if (!varDirty_[i]) touchVariable(slot, false);
  if (!var.kind.empty()) listsDirty_ = true;
}

}  // namespace marvo
