// The object property list of the code editor: its items, when "_" calls it up, and what "=" adds.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::editor {

// The property names every list starts with; they can never be deleted.
class PropertyList {
 public:
  static constexpr int kBuiltInCount = 15;

  PropertyList();

  const std::vector<std::string>& items() const { return items_; }
  int size() const { return static_cast<int>(items_.size()); }

  // Appends `name` after the existing items. Returns false (and adds nothing) when the name is
  // empty or already listed.
  bool add(std::string_view name);
  // Only added items (index kBuiltInCount and beyond) can be deleted.
  bool canDelete(int index) const;
  // Deletes an added item and returns the index to select next (the item before it), or -1 when
  // `index` is not a deletable item.
  int remove(int index);

 private:
  std::vector<std::string> items_;
};

// The scenario line `index` (0-based, Windows-1251) of a text with a known line count.
using LineAt = std::function<std::string(int index)>;

// True when "_" typed on `caretLine` calls up the property list: the line names an object that a
// "CREATE" line declares in the head of the scenario (lines 0 up to and including the first line
// holding ":"), letter case ignored, or the line holds "<object>".
bool opensPropertyList(std::string_view caretLine, int lineCount, const LineAt& lineAt);

// The property name the author typed between dismissing the list and typing "=": the text
// without surrounding blanks, or nothing when it is empty or is not a single word.
std::optional<std::string> collectedPropertyName(std::string_view typed);

}  // namespace marvo::editor
