// The script engine: runs the program line by line against the runtime state.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host.h"
#include "state.h"

namespace marvo {

// The index error of running past the end of the program (or of a broken line at game start).
// It ends the run and the handler that started it; the window shows what() in a message box.
class IndexError : public std::out_of_range {
 public:
  explicit IndexError(long long index);
  long long index() const { return index_; }

 private:
  long long index_;
};

// The engine's linear congruential generator: state = state * 22695477 + 1, draws bits 16..30.
class Random {
 public:
  void seed(std::uint32_t s) { state_ = s; next(); }
  int next() {
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
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
  // call invalidateViews() so that the next line rebuilds what the window shows.
  RuntimeState& mutableState() { return s_; }
  void invalidateViews();

  Random& random() { return random_; }

  // Timer1Timer: one tick of the game clock (variable slot 1, "time").
  void tickClock();

  // A run that executes this many lines without waiting for the player is stopped with
  // kRunawayMessage; the game stays usable.
  void setLineBudget(std::uint64_t lines) { lineBudget_ = lines; }
  std::uint64_t linesExecuted() const { return linesTotal_; }

  // What the window shows, exactly as the per-line rebuild of the lists (before every line) and
  // of the variable pane (after every line that reaches the monitors) would have left it.
  const std::vector<std::string>& inventoryView() const { return inventory_; }
  const std::vector<std::string>& characteristicsView() const { return characteristics_; }
  std::vector<std::string> monitorView() const;

  // Variable lookup: the lowest slot whose name equals `name`, or kTableSize.
  int findVariable(std::string_view name) const;

  static constexpr std::uint64_t kDefaultLineBudget = 200'000'000;

 private:
  struct Line;  // one decoded program line
  enum class Flow { Next, Continue, EndRun };

  Flow executeLine(EngineHost& host);
  void enterLocation(EngineHost& host);
  Flow talkBlock(EngineHost& host);
  Flow readStatement(EngineHost& host);
  Flow gotoStatement(EngineHost& host, bool jump, bool clearing);
  void textLine(EngineHost& host, std::string_view raw);
  bool ifStatement(EngineHost& host, Flow& flow);
  void assign(EngineHost& host, std::string_view name, std::int32_t value);
  std::int32_t operand(std::string_view word) const;
  void createObject(EngineHost& host, Flow& flow);
  void propertyAssignment(std::string_view raw);
  void showItem();
  void examine();
  void vip();
  void clear();
  int findObject(std::string_view name) const;
  bool visibleHere(int slot) const;

  void setValue(int slot, std::int32_t value);
  void setName(int slot, std::string_view name);
  void setKind(int slot, std::string_view kind);
  void objectsChanged() { listsDirty_ = true; monitorObjectsDirty_ = true; }

  void rebuildLists();
  void syncMonitor();
  void splitWords(std::string_view statement);
  std::string_view word(int i) const;

  RuntimeState s_;
  Random random_;

  // Working data of the current line.
  std::string raw_;
  std::string statement_;
  std::vector<std::string> words_;
  int wordCount_ = 0;

  // Views, kept exactly as the window would show them.
  std::vector<std::string> inventory_{std::string()};
  std::vector<std::string> characteristics_;
  bool listsDirty_ = true;

  // Monitor shadow: the state as of the last line that reached the monitors.
  struct MonitorShadow {
    std::vector<Variable> vars;
    std::vector<GameObject> objects;  // the used run
    std::string currentObjectName;
    std::string currentLocation;
    bool written = false;
  } monitor_;
  std::vector<int> dirtyVars_;
  std::array<bool, kTableSize> varDirty_{};
  bool monitorObjectsDirty_ = true;
  bool viewsChangedThisRun_ = false;

  std::uint64_t lineBudget_ = kDefaultLineBudget;
  std::uint64_t linesTotal_ = 0;
};

}  // namespace marvo
