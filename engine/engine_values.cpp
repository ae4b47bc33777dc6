// Variables and conditions: the variable table and its index, operands, assignment, IF, VIP, CLEAR.
#include <algorithm>
#include <bit>

#include "engine.h"
#include "keyword_aliases.h"
#include "text.h"

namespace marvo {

using namespace literals;

int Engine::findVariable(std::string_view name) const {
  // An empty name equals the name of every free slot, so the first free slot answers it.
  if (name.empty()) return firstFreeVariable();
  auto it = varSlots_.find(name);
  return it == varSlots_.end() ? kTableSize : it->second.front();
}

std::int32_t Engine::valueOf(std::string_view name) const {
  int slot = findVariable(name);
  return slot < kTableSize ? s_.vars[static_cast<std::size_t>(slot)].value : 0;
}

int Engine::lookup(const Word& w) const {
  if (w.generation != varGeneration_) {
    w.slot = findVariable(w.text);
    w.generation = varGeneration_;
  }
  return w.slot;
}

std::int32_t Engine::operand(const Word& w) const {
  int slot = lookup(w);
  return slot < kTableSize ? s_.vars[static_cast<std::size_t>(slot)].value : w.number;
}

int Engine::firstFreeVariable() const {
  if (firstFreeGeneration_ == varGeneration_) return firstFree_;
  firstFreeGeneration_ = varGeneration_;
  firstFree_ = kTableSize;
  for (std::size_t i = 0; i < freeVars_.size(); ++i)
    if (freeVars_[i])
      return firstFree_ = static_cast<int>(i * 64 + static_cast<std::size_t>(std::countr_zero(freeVars_[i])));
  return firstFree_;
}

void Engine::touchVariable(int slot, bool nameOrKind) {
  auto i = static_cast<std::size_t>(slot);
  variablesUsed_ = std::max(variablesUsed_, slot + 1);
  if (!varDirty_[i]) dirtyVars_.push_back(slot);
  varDirty_[i] |= nameOrKind ? kNameDirty : kValueDirty;
}

void Engine::setName(int slot, std::string_view name) {
  auto& var = s_.vars[static_cast<std::size_t>(slot)];
  if (var.name == name) return;
  if (!var.name.empty()) {
    auto it = varSlots_.find(var.name);
    auto& slots = it->second;
    slots.erase(std::find(slots.begin(), slots.end(), slot));
    if (slots.empty()) varSlots_.erase(it);
  }
  var.name = std::string(name);
  if (slot < 3) specialNamesSet_ = false;
  auto& bits = freeVars_[static_cast<std::size_t>(slot) / 64];
  const std::uint64_t bit = 1ull << (slot % 64);
  if (name.empty()) {
    bits |= bit;
  } else {
    bits &= ~bit;
    auto& slots = varSlots_[var.name];
    slots.insert(std::lower_bound(slots.begin(), slots.end(), slot), slot);
  }
  ++varGeneration_;
  touchVariable(slot, true);
  if (!var.kind.empty()) listsDirty_ = true;
}

void Engine::setKind(int slot, std::string_view kind) {
  auto& var = s_.vars[static_cast<std::size_t>(slot)];
  if (var.kind == kind) return;
  var.kind = std::string(kind);
  touchVariable(slot, true);
  listsDirty_ = true;
}

void Engine::setVariable(int slot, std::string_view name, std::int32_t value) {
  setName(slot, name);
  setValue(slot, value);
}

void Engine::freeVariable(int slot) {
  setKind(slot, "");
  setName(slot, "");
  setValue(slot, 0);
}

void Engine::resetVariables() {
  for (int i = 0; i < variablesUsed_; ++i) s_.vars[static_cast<std::size_t>(i)] = Variable{};
  varSlots_.clear();
  for (auto& word : freeVars_) word = ~0ull;
  freeVars_.back() &= (1ull << (kTableSize % 64)) - 1;
  ++varGeneration_;
  specialNamesSet_ = false;
  touchTables(variablesUsed_, 0);
}

void Engine::store(EngineHost& host, const Word& name, std::int32_t value) {
  const int slot = std::min(lookup(name), firstFreeVariable());
  if (slot >= kTableSize) {
    message(host, "Массив переменных переполнен"_w, {s_.pc, MessageName::Variable, name.text});
    return;
  }
  setName(slot, name.text);
  setValue(slot, value);
  if (slot == kTableSize - 1)
    message(host, "Массив переменных переполнен"_w, {s_.pc, MessageName::Variable, name.text});
}

void Engine::vip(EngineHost& host, const DecodedLine& d) {
  const std::string& name = d.truthWord(1).text;
  int slot = findVariable(name);
  if (slot >= kTableSize - 1) {
    slot = firstFreeVariable();
    if (slot >= kTableSize) {
      message(host, "Массив переменных переполнен"_w, {s_.pc, MessageName::Variable, name});
      return;
    }
    setName(slot, name);
  }
  setKind(slot, "vip");
  setValue(slot, 0);
}

void Engine::clear(const DecodedLine& d) {
  if (d.count == 1) {
    for (int slot = 2; slot < kTableSize; ++slot) freeVariable(slot);
    return;
  }
  const std::string name = d.truthWord(1).text;
  auto it = varSlots_.find(name);
  if (it == varSlots_.end()) return;
  const std::vector<int> slots = it->second;
  for (int slot : slots) freeVariable(slot);
}

Engine::Flow Engine::ifStatement(EngineHost& host, const DecodedLine& d) {
  bool holds = false;
  const auto a = [&] { return operand(d.truthWord(1)); };
  const auto b = [&] { return operand(d.truthWord(2)); };
  switch (d.ifForm) {
    case 1:
      holds = d.truthWord(2).text == s_.currentLocation;
      break;
    case 2: {
      std::string_view place = d.truthWord(2).text;
      if (place == "location") place = s_.currentLocation;
      std::string_view w1 = d.truthWord(1).text;
      std::string_view name = w1.substr(0, w1.find('_'));
      int slot = findObject(name);
      std::string_view where = slot < kTableSize ? std::string_view(s_.objects[static_cast<std::size_t>(slot)].location)
                                                 : std::string_view();
      if (place.starts_with("enabl") && (where == s_.currentLocation || where == "inv"))
        holds = true;
      else
        holds = where == place;
      break;
    }
    case 3:
      holds = a() <= b();
      break;
    case 4:
      holds = a() >= b();
      break;
    case 5:
      holds = a() != b();
      break;
    case 6:
      holds = a() < b();
      break;
    case 7:
      holds = a() > b();
      break;
    default:
      holds = a() == b();
      break;
  }
  if (holds) return Flow::Next;
  const auto ifLine = s_.pc;
  const int endif = skipToEndif(s_.pc, s_.ifDepth);
  if (endif < 0) {
    s_.pc = static_cast<std::int32_t>(s_.program.size());
    message(host, "Не найден Endif"_w, {ifLine});
    return Flow::Next;
  }
  s_.pc = endif;
  return Flow::Continue;
}

// The skip of a false IF from `line` to the matching ENDIF (see opensIfLevel): returns the line on
// which `depth` comes back to 0, or -1 when the skip passes the last line.
int Engine::skipToEndif(int line, std::int32_t& depth) {
  const auto size = static_cast<std::int32_t>(s_.program.size());
  for (; line < size; ++line) {
    std::string_view statement = decoded(line).statement;
    if (opensIfLevel(statement)) ++depth;
    if (closesIfLevel(statement)) {
      if (--depth == 0) return line;
    }
  }
  return -1;
}

}  // namespace marvo
