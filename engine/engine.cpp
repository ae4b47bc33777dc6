// The run cycle of the script engine and the statements that steer control.
#include "engine.h"

#include <algorithm>
#include <span>

#include "keyword_aliases.h"
#include "text.h"

namespace marvo {

using namespace literals;

IndexError::IndexError(long long index, int line, MessageName nameKind, std::string name)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")"),
      index_(index),
      line_(line),
      nameKind_(nameKind),
      name_(std::move(name)) {}

Engine::Engine() : monitor_(std::make_unique<MonitorShadow>()) {
  s_.impossibleReply = std::string("это невозможно"_w);
  for (auto& word : freeVars_) word = ~0ull;
  freeVars_.back() &= (1ull << (kTableSize % 64)) - 1;
}

void Engine::message(EngineHost& host, std::string_view text, const MessageContext& context) {
  lastMessage_.line = context.line;
  lastMessage_.nameKind = context.nameKind;
  lastMessage_.name = context.name;
  notifyViews(host);
  host.showMessageAt(text, context);
}

void Engine::notifyViews(EngineHost& host) {
  if (viewsVersion_ != notifiedVersion_) {
    notifiedVersion_ = viewsVersion_;
    host.viewsChanged();
  }
}

void Engine::programChanged() {
  compiled_.clear();
  ++programVersion_;
  labels_.clear();
  labelsReady_ = false;
}

DecodedLine& Engine::decoded(int line) {
  if (!compiled_.covers(s_.program.size())) compiled_.reset(s_.program.size());  // changed behind our back
  const auto i = static_cast<std::size_t>(line);
  return compiled_.decoded(i, s_.program[i]);
}

// The first label line that GOTO or JUMP on this line names, or -1.
int Engine::labelTarget(const DecodedLine& d) {
  if (!labelsReady_) buildLabelIndex();
  auto it = labels_.find(":" + d.truthWord(1).text);
  return it == labels_.end() ? -1 : it->second;
}

void Engine::buildLabelIndex() {
  labels_.clear();
  for (std::size_t i = 0; i < s_.program.size(); ++i) {
    const std::string& line = s_.program[i];
    if (!line.empty() && line[0] == ':') labels_.emplace(lower(line), static_cast<int>(i));
  }
  labelsReady_ = true;
}

void Engine::run(EngineHost& host) {
  host.focusInput();
  visitMarks_ = kShownMarks | kOnceMarks | kTalkMarks;
  locationFromLine_ = -1;
  lastMessage_.line = -1;
  std::uint64_t linesThisRun = 0;
  for (;;) {
    if (!referenceDispatch_ && !observer_) runCompiled(host, linesThisRun);
    if (!stepLine(host, linesThisRun)) break;
  }
  notifyViews(host);
}

// One line through the line-at-a-time dispatch, with all the bookkeeping of the run cycle.
// Returns false when the run ends.
bool Engine::stepLine(EngineHost& host, std::uint64_t& linesThisRun) {
  auto& program = s_.program;
  if (++linesThisRun > lineBudget_) {
    abandonRun(host, concat("Сценарий зациклился: ход прерван после "_w, std::to_string(lineBudget_),
                            " строк без ожидания ввода"_w));
    return false;
  }
  ++linesTotal_;
  // Common search, once per game.
  if (!s_.commonFound && s_.commonLine == 0) {
    auto it = std::find_if(program.begin(), program.end(),
                           [](const std::string& line) { return std::string_view(line) == ":common"; });
    if (it != program.end()) {
      s_.commonLine = static_cast<std::int32_t>(it - program.begin());
      s_.commonFound = true;
    } else {
      s_.commonLine = static_cast<std::int32_t>(program.size());
    }
  }
  if (listsDirty_) rebuildLists();
  if (observer_) observer_(false);
  // Special variables.
  setValue(0, random_.next() % 100);
  if (!specialNamesSet_) {
    setName(0, "rnd");
    setName(1, "time");
    setName(2, "step");
    specialNamesSet_ = true;
  }

  if (s_.pc < 0 || static_cast<std::size_t>(s_.pc) >= program.size()) {
    notifyViews(host);
    throw IndexError(s_.pc, lastMessage_.line, lastMessage_.nameKind, lastMessage_.name);
  }
  DecodedLine* d = &decoded(s_.pc);
  std::string_view raw = program[static_cast<std::size_t>(s_.pc)];
  if (d->substitute || d->oneShot) {
    raw_ = raw;
    if (d->substitute) replaceFirst(raw_, "<object>", currentObjectName());
    if (!raw_.empty() && raw_[0] == '^') {
      raw_[0] = ' ';
      raw_ = trim(raw_);
      const auto line = static_cast<std::size_t>(s_.pc);
      program[line].clear();
      compiled_.lines()[line] = CompiledLine{};  // decoded and compiled again when next executed
      ++programVersion_;
    }
    decodeLine(raw_, scratch_);
    d = &scratch_;
    raw = raw_;
  }
  Flow flow = execute(host, *d, raw);
  if (flow == Flow::EndRun) return false;
  if (flow == Flow::Continue) return true;
  if (++s_.pc == kProgramLimit) {
    message(host, "Переполнение сценария"_w, {s_.pc - 1});
    return false;
  }
  syncMonitor();
  if (observer_) observer_(true);
  return true;
}

Engine::Flow Engine::execute(EngineHost& host, DecodedLine& d, std::string_view raw) {
  const std::uint32_t rows = d.rows;
  if (rows & kComment) return Flow::Next;
  if (rows & kLabel) enterLocation(host);
  if (rows & kReturn) {
    s_.pc = s_.locationLine;
    return Flow::EndRun;
  }
  if (rows & kShowItem) {
    showItem(d);
  }
  if (rows & kCreate) {
    if (createObject(host, d) == Flow::EndRun) return Flow::EndRun;
  }
  if (rows & kProperty) {
    propertyAssignment(d, std::string(raw));
    return Flow::Next;
  }
  if (rows & kExamine) {
    examine(d);
  }
  if (rows & kRedo) s_.pc = s_.locationLine;
  if (rows & kEmpo) {
    std::string reply;
    for (int i = 1; i <= d.count; ++i) {
      reply += d.word(i).text;
      reply += ' ';
    }
    s_.impossibleReply = std::move(reply);
  }
  // From here on the truth words apply.
  if (rows & kPushLoc) s_.saveRegister = s_.locationLine;
  if (rows & kPopLoc) {
    s_.locationLine = s_.saveRegister;
    s_.saveRegister = 0;
  }
  if (rows & kPushIndex) s_.saveRegister = s_.pc + 1;
  if (rows & kPopIndex) {
    s_.pc = s_.saveRegister;
    s_.saveRegister = 0;
  }
  if (rows & kVip) vip(host, d);
  if (rows & kIf) return ifStatement(host, d);
  if (rows & kTalk) {
    talkBlock(host);
    return Flow::Next;
  }
  if (rows & kRead) {
    if (readStatement(host) == Flow::EndRun) return Flow::EndRun;
  }
  if (rows & kClear) clear(d);
  if (rows & kGoto) return jumpTo(host, d, false);
  if (rows & kJump) return jumpTo(host, d, true);
  if (rows & kCls) host.clearOutput();
  if (rows & kText) {
    const auto pc = s_.pc;
    if (std::find(s_.once.begin(), s_.once.end(), pc) == s_.once.end()) return textLine(host, d, raw);
  }
  if (rows & (kAssign | kAddSub | kMulDiv)) {
    const Word& name = d.truthWord(0);
    if (rows & kAssign) store(host, name, operand(d.truthWord(1)));
    if (rows & kAddSub) {
      const std::int32_t a = operand(d.truthWord(1));
      const std::int32_t b = operand(d.truthWord(2));
      auto ua = static_cast<std::uint32_t>(a), ub = static_cast<std::uint32_t>(b);
      store(host, name, static_cast<std::int32_t>(d.plus ? ua + ub : ua - ub));
    }
    if (rows & kMulDiv) {
      // Evaluated after row 22 has stored its result: the product is what remains.
      const std::int32_t a = operand(d.truthWord(1));
      const std::int32_t b = operand(d.truthWord(2));
      std::int32_t result;
      if (d.times)
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
      else if (b == 0)
        result = 0;
      else if (b == -1)
        result = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
      else
        result = a / b;
      store(host, name, result);
    }
  }
  return Flow::Next;
}

void Engine::enterLocation(EngineHost& host) {
  if (locationFromLine_ != s_.pc) {
    std::string_view stored = s_.program[static_cast<std::size_t>(s_.pc)];
    std::string_view name = trimView(stored.empty() ? stored : stored.substr(1));
    if (s_.currentLocation != name) {
      s_.currentLocation = std::string(name);
      locationChanged_ = true;
    }
    locationFromLine_ = s_.pc;
  }
  s_.ifDepth = 0;
  s_.talkDepth = 0;
  s_.locationLine = s_.pc;
  if (s_.pc != s_.menuMarker) {
    s_.menuMarker = 0;
    setValue(2, static_cast<std::int32_t>(static_cast<std::uint32_t>(s_.vars[2].value) + 1u));
    if (visitMarks_ & kShownMarks) s_.shown.fill(false);
    if (visitMarks_ & kOnceMarks) s_.once.fill(0);
    visitMarks_ &= ~(kShownMarks | kOnceMarks);
  }
  if (visitMarks_ & kTalkMarks) s_.talk.fill(0);
  visitMarks_ &= ~kTalkMarks;
  if (s_.clearOutputFlag) {
    host.clearOutput();
    s_.clearOutputFlag = false;
  }
}

void Engine::talkBlock(EngineHost& host) {
  auto freeSlot = std::find(s_.talk.begin(), s_.talk.end(), 0);
  if (freeSlot != s_.talk.end()) *freeSlot = s_.pc;  // a full registry drops the block
  visitMarks_ |= kTalkMarks;
  const auto talkLine = s_.pc;
  const auto size = static_cast<std::int32_t>(s_.program.size());
  for (;;) {
    if (s_.pc >= size) {
      message(host, "Не найдена комманда REDO или RETURN"_w, {talkLine});
      return;
    }
    std::string_view line = decoded(s_.pc).statement;
    if (opensTalkLevel(line)) ++s_.talkDepth;
    if (closesTalkLevel(line)) --s_.talkDepth;
    // Tested on every line looked at: a talk line that does not itself start with "talk" (a
    // leading "(" or "^") leaves the depth at 0 and the skip stops on it.
    if (s_.talkDepth == 0) return;
    ++s_.pc;
  }
}

Engine::Flow Engine::readStatement(EngineHost& host) {
  collectObjectsText();
  // Only the last kQueueLimit lines of each queue are shown; a "%" in an earlier menu line still
  // takes the objects' text with it.
  bool placed = s_.droppedMenuTookObjects;
  const auto menuStart = s_.menuQueue.size() - std::min(s_.menuQueue.size(), kQueueLimit);
  for (std::size_t i = 0; i < menuStart; ++i) placed |= s_.menuQueue[i].find('%') != std::string::npos;
  for (auto& line : std::span(s_.menuQueue).subspan(menuStart)) {
    auto percent = line.find('%');
    if (percent != std::string::npos) {
      line[percent] = ' ';
      line += s_.objectsText;
      placed = true;
    }
    host.appendOutput(line);
  }
  if (!placed && !s_.objectsText.empty()) host.appendOutput(s_.objectsText);
  const auto textStart = s_.textQueue.size() - std::min(s_.textQueue.size(), kQueueLimit);
  for (const auto& line : std::span(s_.textQueue).subspan(textStart)) host.appendOutput(line);
  s_.textQueue.clear();
  s_.menuQueue.clear();
  s_.droppedMenuTookObjects = false;
  s_.objectsText.clear();
  if (s_.commonFound) {
    s_.pc = s_.commonLine;
    return Flow::Next;
  }
  return Flow::EndRun;
}

Engine::Flow Engine::jumpTo(EngineHost& host, DecodedLine& d, bool jump) {
  if (d.clearing) s_.clearOutputFlag = true;
  if (d.gotoTarget == -2 || &d == &scratch_) d.gotoTarget = labelTarget(d);
  if (d.gotoTarget < 0) {
    message(host, "Нет метки для перехода!"_w, {s_.pc, MessageName::MissingLabel, d.truthWord(1).text});
    s_.pc = static_cast<std::int32_t>(s_.program.size());
    return Flow::Continue;
  }
  s_.pc = d.gotoTarget + (jump ? 1 : 0);
  return Flow::Continue;
}

void Engine::enqueue(std::vector<std::string>& queue, std::string line) {
  // An empty text line is never shown; leaving it out keeps the lines that are.
  if (line.empty() && &queue == &s_.textQueue) return;
  // Dropped in batches, so that a long turn costs no more than a copy of the kept lines now and then.
  if (queue.size() >= kQueueLimit + kQueueLimit / 4) {
    const auto cut = queue.end() - static_cast<std::ptrdiff_t>(kQueueLimit);
    if (&queue == &s_.menuQueue &&
        std::any_of(queue.begin(), cut, [](const std::string& l) { return l.find('%') != std::string::npos; }))
      s_.droppedMenuTookObjects = true;
    queue.erase(queue.begin(), cut);
  }
  queue.push_back(std::move(line));
}

Engine::Flow Engine::abandonRun(EngineHost& host, std::string_view reason) {
  const std::size_t dropped = s_.textQueue.size() + s_.menuQueue.size();
  // Swapped with empty vectors: clear() would keep the memory of a runaway queue.
  std::vector<std::string>().swap(s_.textQueue);
  std::vector<std::string>().swap(s_.menuQueue);
  s_.droppedMenuTookObjects = false;
  message(host, concat(reason, "; строки текста и меню этого хода отброшены ("_w, std::to_string(dropped), ")"),
          {s_.pc});
  return Flow::EndRun;
}

Engine::Flow Engine::textLine(EngineHost& host, DecodedLine& d, std::string_view raw) {
  // A menu line (word 0 starts with "@") is shown once per visit; which queue the output joins is
  // decided by the trimmed raw line, so "(@x" is remembered as shown but queued as text.
  if (d.word(0).text.starts_with("@")) {
    s_.menuMarker = s_.locationLine;
    auto slot = std::find(s_.once.begin(), s_.once.end(), 0);
    if (slot != s_.once.end()) *slot = s_.pc;
    visitMarks_ |= kOnceMarks;
  }
  if (!d.piecesReady) {
    decodePieces(raw, d.pieces);
    d.piecesReady = true;
  }
  std::string out;
  for (const auto& piece : d.pieces) {
    if (!piece.isVariable) {
      out += piece.word.text;
      continue;
    }
    int slot = lookup(piece.word);
    if (slot < kTableSize)
      out += decimal(s_.vars[static_cast<std::size_t>(slot)].value);
    else
      message(host, "Не найдена переменная"_w, {s_.pc, MessageName::MissingVariable, piece.word.text});
  }
  enqueue(d.menu ? s_.menuQueue : s_.textQueue, std::move(out));
  return Flow::Next;
}

void Engine::tickClock() {
  std::int32_t t = s_.vars[1].value;
  if (t >= 86400) t = 0;
  setValue(1, t + 1);
}

}  // namespace marvo
