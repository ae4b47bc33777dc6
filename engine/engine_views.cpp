// The variable pane's monitors, kept as a shadow of the state at the last line that wrote them.
#include <algorithm>

#include "engine.h"
#include "text.h"

namespace marvo {

using namespace literals;

void Engine::invalidateViews() { touchTables(kTableSize, kTableSize); }

void Engine::touchTables(int variables, int objects) {
  variablesUsed_ = std::max(variablesUsed_, variables);
  objectsUsed_ = std::max(objectsUsed_, objects);
  for (int i = 0; i < variables; ++i) touchVariable(i, true);
  for (int i = 0; i < objects; ++i) touchObject(i);
  listsDirty_ = true;
  locationChanged_ = true;
}

void Engine::syncMonitor() {
  auto& m = *monitor_;
  bool changed = !m.written;
  m.written = true;
  if (!dirtyVars_.empty()) {
    for (int slot : dirtyVars_) {
      auto i = static_cast<std::size_t>(slot);
      if (varDirty_[i] == kValueDirty)
        m.vars[i].value = s_.vars[i].value;
      else
        m.vars[i] = s_.vars[i];
      varDirty_[i] = 0;
    }
    dirtyVars_.clear();
    changed = true;
  }
  if (!dirtyObjects_.empty()) {
    for (int slot : dirtyObjects_) {
      auto i = static_cast<std::size_t>(slot);
      m.objects[i] = s_.objects[i];
      objectDirty_[i] = false;
    }
    dirtyObjects_.clear();
    changed = true;
  }
  if (m.currentObject != s_.currentObject) {
    m.currentObject = s_.currentObject;
    changed = true;
  }
  if (locationChanged_) {
    locationChanged_ = false;
    if (m.currentLocation != s_.currentLocation) {
      m.currentLocation = s_.currentLocation;
      changed = true;
    }
  }
  if (changed) ++viewsVersion_;
}

std::vector<std::string> Engine::monitorView() const {
  std::vector<std::string> lines;
  const auto& m = *monitor_;
  if (!m.written) return lines;
  const std::string rule(53, '-');
  lines.emplace_back("Значения переменных:"_w);
  for (const auto& var : m.vars)
    if (!var.name.empty()) lines.push_back(var.name + " = " + decimal(var.value) + "    " + var.kind);
  const bool current = m.currentObject >= 0 && m.currentObject < kTableSize;
  lines.push_back(concat("объект анализатора: "_w,
                         current ? m.objects[static_cast<std::size_t>(m.currentObject)].name : std::string()));
  lines.push_back(rule);
  lines.emplace_back("        * Монитор объектов *"_w);
  lines.push_back(rule);
  for (const auto& object : m.objects) {
    if (object.name.empty()) break;
    lines.push_back(concat("имя объекта: "_w, object.name));
    lines.push_back(concat("расположение: "_w, object.location));
    lines.push_back(concat("маска: "_w, object.mask));
    lines.push_back(concat("синоним: "_w, object.synonym));
    lines.push_back(concat("дескриптор: "_w, object.descriptor));
    lines.push_back(concat("содержание: "_w, object.content));
    lines.push_back(rule);
  }
  lines.emplace_back("Текущая локация:"_w);
  lines.push_back(m.currentLocation);
  return lines;
}

}  // namespace marvo
