// Objects and inventory: CREATE, property assignments, SHOWITEM, EXAMINE, the objects text, the lists.
#include <algorithm>

#include "engine.h"
#include "text.h"

namespace marvo {

using namespace literals;

int Engine::findObject(std::string_view name) const {
  auto it = objectSlots_.find(name);
  return it == objectSlots_.end() ? kTableSize : it->second;
}

std::string_view Engine::currentObjectName() const {
  if (s_.currentObject < 0 || s_.currentObject >= kTableSize) return {};
  return s_.objects[static_cast<std::size_t>(s_.currentObject)].name;
}

void Engine::touchObject(int slot) {
  auto i = static_cast<std::size_t>(slot);
  objectsUsed_ = std::max(objectsUsed_, slot + 1);
  if (!objectDirty_[i]) {
    objectDirty_[i] = true;
    dirtyObjects_.push_back(slot);
  }
  listsDirty_ = true;
}

void Engine::resetTables() {
  resetVariables();
  for (int i = 0; i < objectsUsed_; ++i) {
    auto& object = s_.objects[static_cast<std::size_t>(i)];
    std::string content = std::move(object.content);
    object = GameObject{};
    object.content = std::move(content);
  }
  objectSlots_.clear();
  usedObjects_ = 0;
  touchTables(0, objectsUsed_);
}

std::int32_t Engine::visibility(int objectSlot) const {
  return valueOf(s_.objects[static_cast<std::size_t>(objectSlot)].name + std::string("_невидимый"_w));
}

Engine::Flow Engine::createObject(EngineHost& host, const DecodedLine& d) {
  const std::string& name = d.word(1).text;
  // An empty name equals the name of the first free slot, so it counts as declared again.
  if (findObject(name) < kTableSize || (name.empty() && usedObjects_ < kTableSize)) {
    message(host, concat("Объект "_w, name, " объявлен повторно"_w), {s_.pc, MessageName::Object, name});
    return Flow::EndRun;
  }
  if (usedObjects_ >= kTableSize) {
    message(host, "Массив объектов переполнен"_w, {s_.pc, MessageName::Object, name});
    return Flow::Next;
  }
  const int slot = usedObjects_++;
  auto& object = s_.objects[static_cast<std::size_t>(slot)];
  object.name = name;
  object.mask = name;
  object.synonym = name;
  object.content = std::string("Там же есть:"_w);
  object.description = std::string("Ничего особенного"_w);
  object.descriptor = concat("Так же есть "_w, name);
  object.location = "inv";
  objectSlots_.emplace(name, slot);
  touchObject(slot);
  return Flow::Next;
}

void Engine::propertyAssignment(const DecodedLine& d, std::string raw) {
  const std::string& w0 = d.word(0).text;
  const std::size_t k = kPropertySuffixLength[static_cast<int>(d.property)];
  const std::string name = w0.substr(0, w0.size() >= k ? w0.size() - k : 0);
  auto rest = [&] {
    const std::size_t from = w0.size() + 1;
    return from < raw.size() ? raw.substr(from) : std::string();
  };
  std::string value;
  switch (d.property) {
    case Property::Location:
      value = d.word(1).text == "location" ? s_.currentLocation : d.word(1).text;
      break;
    case Property::Mask:
    case Property::Synonym:
      value = d.word(1).text;
      break;
    case Property::Descriptor:
      replaceFirst(raw, "<object>", currentObjectName());
      value = rest();
      break;
    default:
      value = rest();
      break;
  }
  const int slot = findObject(name);
  if (slot >= kTableSize) return;
  auto& object = s_.objects[static_cast<std::size_t>(slot)];
  switch (d.property) {
    case Property::Location:
      object.location = std::move(value);
      break;
    case Property::Descriptor:
      object.descriptor = std::move(value);
      s_.shown.fill(false);
      break;
    case Property::Mask:
      object.mask = std::move(value);
      break;
    case Property::Synonym:
      object.synonym = std::move(value);
      break;
    case Property::Content:
      object.content = std::move(value);
      break;
    case Property::Description:
      object.description = std::move(value);
      break;
    case Property::None:
      break;
  }
  touchObject(slot);
}

void Engine::showItem(const DecodedLine& d) {
  const std::string& container = d.word(1).text;
  const int holder = findObject(container);
  const std::string heading =
      holder < kTableSize ? s_.objects[static_cast<std::size_t>(holder)].content : std::string();
  std::string result;
  for (int i = 0; i < usedObjects_; ++i) {
    const auto& object = s_.objects[static_cast<std::size_t>(i)];
    if (object.location != container || visibility(i) != 0) continue;
    if (result.empty())
      result = heading + " " + object.name;
    else
      result += ", " + object.name;
  }
  enqueue(s_.textQueue, std::move(result));
}

void Engine::examine(const DecodedLine& d) {
  const int slot = findObject(d.word(1).text);
  if (slot < kTableSize) enqueue(s_.textQueue, s_.objects[static_cast<std::size_t>(slot)].description);
}

void Engine::collectObjectsText() {
  // Free slots have an empty location, which only an empty current location can equal.
  const int limit = s_.currentLocation.empty() ? kTableSize : usedObjects_;
  for (int i = 0; i < limit; ++i) {
    auto index = static_cast<std::size_t>(i);
    const auto& object = s_.objects[index];
    if (object.location != s_.currentLocation || s_.shown[index] || visibility(i) == 1) continue;
    s_.shown[index] = true;
    visitMarks_ |= kShownMarks;
    s_.objectsText += ' ';
    s_.objectsText += object.descriptor;
  }
}

void Engine::rebuildLists() {
  listsDirty_ = false;
  std::vector<std::string> inventory;
  for (int i = 0; i < usedObjects_; ++i) {
    const auto& object = s_.objects[static_cast<std::size_t>(i)];
    if (object.location != "inv") continue;
    std::string item = object.name;
    std::replace(item.begin(), item.end(), '.', ' ');
    inventory.push_back(std::move(item));
  }
  std::vector<std::string> characteristics;
  for (const auto& var : s_.vars)
    if (var.kind == "vip" && var.value > 0) characteristics.push_back(var.name + " " + decimal(var.value));
  if (inventory != inventory_ || characteristics != characteristics_) {
    inventory_ = std::move(inventory);
    characteristics_ = std::move(characteristics);
    ++viewsVersion_;
  }
}

}  // namespace marvo
