// Object definition generator: the lines the object placer writes into the scenario.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::objects {

// The placer's form, every text in Windows-1251 as the author left it.
struct ObjectForm {
  std::string name;
  std::string location;  // the chosen list item; empty when none is chosen
  std::string placedDescription;
  std::vector<std::string> description;  // the lines of the multi-line description
  std::string mask;
  std::string maskSynonym;
  std::string contents;
  bool immovable = false;
  bool addTask = false;
  std::array<std::string, 4> putInCommands;  // top to bottom
  std::string putInMessage;
};

// The form as the window opens for the first time.
ObjectForm initialForm();

// The list item that stands for the inventory.
std::string_view inventoryChoice();

// The fields that follow the name field after every key: they are overwritten from the name.
struct DependentFields {
  std::string mask;
  std::string maskSynonym;
  std::string placedDescription;
  std::string putInMessage;
};
DependentFields followName(std::string_view name);

// The location list: the inventory item and every label line without its colon and surrounding
// blanks, in list order (see sortForList).
std::vector<std::string> locationChoices(const std::vector<std::string>& scenario);

// Sorts the way the sorted lists of the windows do: case-insensitively (Latin and Cyrillic),
// the exact bytes deciding between equal keys; duplicates stay.
void sortForList(std::vector<std::string>& items);

// Removes surrounding blanks from the name and the mask (the generator writes them back).
void trimNameAndMask(ObjectForm& form);

// "inv" for an empty location or the inventory item, otherwise the location itself.
std::string locationValue(std::string_view location);

// The object definition block, its closing empty line included. Fields are used as they stand.
std::vector<std::string> definitionBlock(const ObjectForm& form);

// The container task, its closing empty line included. Fields are used as they stand.
std::vector<std::string> containerTask(const ObjectForm& form);

// Lines to insert before index `before` of the scenario as it stands when they are applied.
struct Insertion {
  std::size_t before = 0;
  std::vector<std::string> lines;
};

// Index of the first line that is exactly ":common", or the line count when there is none.
std::size_t commonLabelIndex(const std::vector<std::string>& scenario);

// What "Создать" does to the scenario, in order: the definition block at the top and, when the
// task is asked for and a line ":common" exists, the task right after that line.
std::vector<Insertion> placementInsertions(const std::vector<std::string>& scenario, const ObjectForm& form);

// Applies insertions in order (each index refers to the text left by the ones before it).
void applyInsertions(std::vector<std::string>& scenario, const std::vector<Insertion>& insertions);

}  // namespace marvo::objects
