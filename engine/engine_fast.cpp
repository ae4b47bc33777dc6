// The engine's fast path: runs compiled lines while they are of the common, simple forms, and
// leaves every other line to the line-at-a-time dispatch. Per-line bookkeeping that no statement
// of these forms can observe is deferred: the random draws are counted and caught up in one step,
// and the variable pane is brought up to date when the fast path hands over. What a run shows is
// the same as if every line had gone through the dispatch.
#include <algorithm>

#include "engine.h"

namespace marvo {

bool Engine::compiledPathOpen() const {
  // "rnd" as a characteristic would change the lists at every line.
  return specialNamesSet_ && s_.vars[0].kind.empty() && (s_.commonFound || s_.commonLine != 0) && s_.pc >= 0 &&
         static_cast<std::size_t>(s_.pc) < s_.program.size();
}

void Engine::compileLine(int line) {
  const DecodedLine& d = decoded(line);
  CompiledLine& c = compiled_.lines()[static_cast<std::size_t>(line)];
  DecodedLine* const kept = c.decoded;
  c = CompiledLine{};
  c.op = FastOp::Slow;
  c.decoded = kept;
  // The overflow check at line 89999 and lines rewritten at every execution stay with the dispatch.
  if (line == kProgramLimit - 1 || d.substitute || d.oneShot) return;
  const std::uint32_t rows = d.rows;
  if ((rows & kComment) || rows == 0) {
    c.op = FastOp::Nothing;
    return;
  }
  // "rnd" is drawn at every line; the fast path keeps it pending, so lines naming it stay slow.
  const auto namesRnd = [&](int last) {
    for (int i = 0; i <= last; ++i)
      if (d.truthWord(i).text == "rnd") return true;
    return false;
  };
  switch (rows) {
    case kLabel:
      c.op = FastOp::Label;
      return;
    case kRedo:
      c.op = FastOp::Redo;
      return;
    case kGoto:
    case kJump: {
      const int label = labelTarget(d);
      if (label < 0) return;
      c.op = FastOp::Jump;
      c.clearing = d.clearing;
      c.target = label + (rows == kJump ? 1 : 0);
      return;
    }
    case kAssign:
      if (!namesRnd(1)) c.op = FastOp::Assign;
      return;
    case kAddSub:
      if (!namesRnd(2)) c.op = d.plus ? FastOp::Add : FastOp::Sub;
      return;
    case kMulDiv:
      if (!namesRnd(2)) c.op = d.times ? FastOp::Mul : FastOp::Div;
      return;
    case kIf:
      static_assert(static_cast<int>(FastOp::IfEq) - static_cast<int>(FastOp::IfLe) == 5);
      if (d.ifForm >= 3 && !namesRnd(2)) c.op = static_cast<FastOp>(static_cast<int>(FastOp::IfLe) + d.ifForm - 3);
      return;
    default:
      return;
  }
}

// Resolves the operand and target slots of an assignment or comparison for the current variable
// names. Fails when the store would create a variable or reach the table's last slot (both are
// left to the dispatch, which names the variable or shows the overflow message).
bool Engine::resolve(CompiledLine& c, int line) {
  const DecodedLine& d = decoded(line);
  const Word& a = d.truthWord(1);
  const Word& b = d.truthWord(2);
  c.a = static_cast<std::int16_t>(lookup(a));
  c.na = a.number;
  c.b = static_cast<std::int16_t>(lookup(b));
  c.nb = b.number;
  if (c.op >= FastOp::Assign && c.op <= FastOp::Div) {
    const Word& name = d.truthWord(0);
    const int slot = std::min(lookup(name), firstFreeVariable());
    if (slot >= kTableSize - 1 || s_.vars[static_cast<std::size_t>(slot)].name != name.text) return false;
    c.dst = static_cast<std::int16_t>(slot);
  }
  c.generation = varGeneration_;
  return true;
}

bool Engine::findSkipTarget(CompiledLine& c, int line) {
  if (c.skipVersion != programVersion_) {
    std::int32_t depth = 0;
    c.target = skipToEndif(line, depth);
    c.skipVersion = programVersion_;
  }
  return c.target >= 0;
}

void Engine::runCompiled(EngineHost& host, std::uint64_t& linesThisRun) {
  if (!compiledPathOpen() || linesThisRun >= lineBudget_) return;
  if (!compiled_.covers(s_.program.size())) compiled_.reset(s_.program.size());
  CompiledLine* const code = compiled_.lines();
  if (code[s_.pc].op == FastOp::Slow) return;

  Variable* const vars = s_.vars.data();
  const std::uint64_t generation = varGeneration_;  // no line of the fast path renames a variable
  const std::uint64_t budget = lineBudget_ - linesThisRun;
  const auto value = [vars](std::int16_t slot, std::int32_t number) {
    return slot < kTableSize ? vars[slot].value : number;
  };
  const auto ready = [&](CompiledLine& c, std::int32_t line) { return c.generation == generation || resolve(c, line); };
  std::int32_t pc = s_.pc;
  std::uint64_t executed = 0;
  std::uint64_t monitored = 0;  // lines executed up to the last one that reached the monitors
  while (executed < budget) {
    CompiledLine& c = code[pc];
    if (listsDirty_) rebuildLists();
    bool holds;
    switch (c.op) {
      case FastOp::Unknown:
        compileLine(pc);
        continue;
      case FastOp::Slow:
        goto handOver;
      case FastOp::Nothing:
        break;
      case FastOp::Label:
        s_.pc = pc;
        enterLocation(host);
        break;
      case FastOp::Redo: {
        const std::int32_t back = s_.locationLine;
        if (back < -1 || static_cast<std::size_t>(back + 1) > compiled_.size() || back + 1 == kProgramLimit)
          goto handOver;
        pc = back;
        break;
      }
      case FastOp::Assign:
        if (!ready(c, pc)) goto handOver;
        setValue(c.dst, value(c.a, c.na));
        break;
      case FastOp::Add:
        if (!ready(c, pc)) goto handOver;
        setValue(c.dst, static_cast<std::int32_t>(static_cast<std::uint32_t>(value(c.a, c.na)) +
                                                  static_cast<std::uint32_t>(value(c.b, c.nb))));
        break;
      case FastOp::Sub:
        if (!ready(c, pc)) goto handOver;
        setValue(c.dst, static_cast<std::int32_t>(static_cast<std::uint32_t>(value(c.a, c.na)) -
                                                  static_cast<std::uint32_t>(value(c.b, c.nb))));
        break;
      case FastOp::Mul:
        if (!ready(c, pc)) goto handOver;
        setValue(c.dst, static_cast<std::int32_t>(static_cast<std::uint32_t>(value(c.a, c.na)) *
                                                  static_cast<std::uint32_t>(value(c.b, c.nb))));
        break;
      case FastOp::Div: {
        if (!ready(c, pc)) goto handOver;
        const std::int32_t a = value(c.a, c.na), b = value(c.b, c.nb);
        setValue(c.dst, b == 0 ? 0 : b == -1 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a)) : a / b);
        break;
      }
      case FastOp::IfLe:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) <= value(c.b, c.nb);
        goto condition;
      case FastOp::IfGe:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) >= value(c.b, c.nb);
        goto condition;
      case FastOp::IfNe:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) != value(c.b, c.nb);
        goto condition;
      case FastOp::IfLt:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) < value(c.b, c.nb);
        goto condition;
      case FastOp::IfGt:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) > value(c.b, c.nb);
        goto condition;
      case FastOp::IfEq:
        if (!ready(c, pc)) goto handOver;
        holds = value(c.a, c.na) == value(c.b, c.nb);
        goto condition;
      case FastOp::Jump:
        if (c.clearing) s_.clearOutputFlag = true;
        pc = c.target;
        ++executed;
        continue;
    }
    ++pc;
    monitored = ++executed;
    continue;
  condition:
    if (holds) {
      ++pc;
      monitored = ++executed;
      continue;
    }
    // A false IF skips to its ENDIF, which is executed next; the depth ends at 0 again.
    if (s_.ifDepth != 0 || !findSkipTarget(c, pc)) break;
    pc = c.target;
    ++executed;
  }
handOver:
  s_.pc = pc;
  linesThisRun += executed;
  linesTotal_ += executed;
  // Catch up the draws: "rnd" as the monitors last showed it, then as the last line left it.
  if (monitored) {
    random_.skip(monitored - 1);
    setValue(0, random_.next() % 100);
    syncMonitor();
  }
  if (executed > monitored) {
    random_.skip(executed - monitored - 1);
    setValue(0, random_.next() % 100);
  }
}

}  // namespace marvo
