// The object property list of the code editor.
#include "property_list.h"

#include <algorithm>

#include "engine/text.h"

namespace marvo::editor {

using namespace marvo::literals;

PropertyList::PropertyList()
    : items_{std::string("Расположение"_w), std::string("Описание"_w),   std::string("Маска"_w),
             std::string("Синоним"_w),      std::string("Дескриптор"_w), std::string("Непереносимый"_w),
             std::string("Недоступен"_w),   std::string("Надет"_w),      std::string("Открываемый"_w),
             std::string("Открыт"_w),       std::string("Невидимый"_w),  std::string("Содержание"_w),
             std::string("Количество"_w),   std::string("Вес"_w),        std::string("Размер"_w)} {}

bool PropertyList::add(std::string_view name) {
  if (name.empty() || std::find(items_.begin(), items_.end(), name) != items_.end()) return false;
  items_.emplace_back(name);
  return true;
}

bool PropertyList::canDelete(int index) const { return index >= kBuiltInCount && index < size(); }

int PropertyList::remove(int index) {
  if (!canDelete(index)) return -1;
  items_.erase(items_.begin() + index);
  return index - 1;
}

bool opensPropertyList(std::string_view caretLine, int lineCount, const LineAt& lineAt) {
  const std::string caret = lower(caretLine);
  if (contains(caret, "<object>")) return true;
  for (int i = 0; i < lineCount; ++i) {
    const std::string line = lineAt(i);
    const std::string statement = lower(trimView(line));
    if (contains(statement, "create")) {
      // The keyword is taken to be the first six characters, wherever "create" stands.
      const std::string_view name = trimView(std::string_view(statement).substr(6));
      if (contains(caret, name)) return true;
    }
    if (line.find(':') != std::string::npos) break;  // the end of the head
  }
  return false;
}

std::optional<std::string> collectedPropertyName(std::string_view typed) {
  const std::string_view name = trimView(typed);
  if (name.empty()) return std::nullopt;
  for (unsigned char c : name) {
    if (c <= 32 || std::string_view(" +-=<>*/,;()_").find(static_cast<char>(c)) != std::string_view::npos)
      return std::nullopt;
  }
  return std::string(name);
}

}  // namespace marvo::editor
