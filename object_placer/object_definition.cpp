// Object definition generator: the lines the object placer writes into the scenario.
#include "object_definition.h"

#include <algorithm>

#include "engine/text.h"

namespace marvo::objects {

using namespace marvo::literals;

ObjectForm initialForm() {
  ObjectForm form;
  form.name = "объект"_w;
  form.placedDescription = "Так же есть объект"_w;
  form.description = {std::string("Ничего особенного..."_w)};
  form.mask = "объект"_w;
  form.maskSynonym = "объект"_w;
  form.contents = "Там же есть:"_w;
  form.putInCommands = {std::string("положи в"_w), std::string("сунуть в"_w), std::string("помести в "_w),
                        std::string("добав в"_w)};
  form.putInMessage = "<object> помещен в объект"_w;
  return form;
}

std::string_view inventoryChoice() { return "инвентарь"_w; }

DependentFields followName(std::string_view name) {
  DependentFields fields;
  fields.mask = name;
  fields.maskSynonym = name;
  fields.placedDescription = std::string("Так же есть "_w) + std::string(name);
  fields.putInMessage = std::string("<object> помещен в "_w) + std::string(name);
  return fields;
}

std::vector<std::string> locationChoices(const std::vector<std::string>& scenario) {
  std::vector<std::string> items{std::string(inventoryChoice())};
  for (const auto& line : scenario)
    if (!line.empty() && line.front() == ':') items.push_back(trim(std::string_view(line).substr(1)));
  sortForList(items);
  return items;
}

namespace {
// Collation weight of one byte: letters compare without case, and "ё" sorts right after "е".
int collationWeight(unsigned char c) {
  const unsigned char small = lowerByte(c);
  if (small == 0xB8) return 0xE5 * 2 + 1;  // ё
  return small * 2;
}

bool listOrder(const std::string& a, const std::string& b) {
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return collationWeight(static_cast<unsigned char>(x)) < collationWeight(static_cast<unsigned char>(y));
  });
  if (less) return true;
  const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
    return collationWeight(static_cast<unsigned char>(x)) < collationWeight(static_cast<unsigned char>(y));
  });
  return !greater && a < b;
}
}  // namespace

void sortForList(std::vector<std::string>& items) { std::stable_sort(items.begin(), items.end(), listOrder); }

void trimNameAndMask(ObjectForm& form) {
  form.name = trim(form.name);
  form.mask = trim(form.mask);
}

std::string locationValue(std::string_view location) {
  if (location.empty() || location == inventoryChoice()) return "inv";
  return std::string(location);
}

std::vector<std::string> definitionBlock(const ObjectForm& form) {
  const std::string& n = form.name;
  std::string description;
  for (const auto& line : form.description) description += line;

  std::vector<std::string> block{
      "CREATE " + n,
      n + std::string("_Расположение="_w) + locationValue(form.location),
      n + std::string("_Маска="_w) + form.mask,
      n + std::string("_Синоним="_w) + form.maskSynonym,
      n + std::string("_Дескриптор="_w) + form.placedDescription,
      n + std::string("_Содержание="_w) + form.contents,
      n + std::string("_Описание="_w) + description,
  };
  if (form.immovable) block.push_back(n + std::string("_Непереносимый=Да"_w));
  block.emplace_back();
  return block;
}

std::vector<std::string> containerTask(const ObjectForm& form) {
  const std::string& n = form.name;
  std::string talk = "TALK ";
  for (std::size_t i = 0; i < form.putInCommands.size(); ++i) {
    if (i > 0) talk += '/';
    talk += form.putInCommands[i] + " <object> " + form.mask;
  }
  return {
      "IF " + n + std::string("_Расположение=Enable"_w),
      talk,
      std::string("IF <object>_Непереносимый=Нет"_w),
      std::string("IF <object>_Недоступен=Нет"_w),
      std::string("<object>_Расположение="_w) + n,
      "!" + form.putInMessage,
      "ENDIF",
      "ENDIF",
      "REDO",
      "ENDIF",
      std::string("* завершение процедуры для объекта "_w) + n,
      "",
  };
}

std::size_t commonLabelIndex(const std::vector<std::string>& scenario) {
  const auto it = std::find(scenario.begin(), scenario.end(), ":common");
  return static_cast<std::size_t>(it - scenario.begin());
}

std::vector<Insertion> placementInsertions(const std::vector<std::string>& scenario, const ObjectForm& form) {
  std::vector<Insertion> insertions{{0, definitionBlock(form)}};
  if (!form.addTask) return insertions;
  // The label is searched in the text as it stands once the block is at the top.
  std::vector<std::string> after = insertions.front().lines;
  after.insert(after.end(), scenario.begin(), scenario.end());
  const std::size_t common = commonLabelIndex(after);
  if (common < after.size()) insertions.push_back({common + 1, containerTask(form)});
  return insertions;
}

void applyInsertions(std::vector<std::string>& scenario, const std::vector<Insertion>& insertions) {
  for (const auto& insertion : insertions) {
    const std::size_t at = std::min(insertion.before, scenario.size());
    scenario.insert(scenario.begin() + static_cast<std::ptrdiff_t>(at), insertion.lines.begin(), insertion.lines.end());
  }
}

}  // namespace marvo::objects
