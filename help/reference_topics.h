// The pages of the language reference and which page explains a word of a scenario line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// One page of the reference: its file name in docs/ and its title (UTF-8), in reading order.
struct ReferencePage {
  std::string_view file;
  std::string_view title;
};

// Every page, the contents first.
const std::vector<ReferencePage>& referencePages();

// The page that explains one word (Windows-1251, any case) of a statement, or "" for none.
std::string referencePage(std::string_view word);

// The page that explains the scenario line `line` (Windows-1251) at the 0-based caret position
// `column`: the statement or line kind of the word under the caret, else the engine message that
// the line quotes, else the kind of the line. Returns "README.md" (the contents) when nothing fits.
std::string referencePageFor(std::string_view line, int column);

// A reference page (UTF-8 Markdown) as the reference window shows it: each example's scenario
// block (```scn) and expected-output block (```walk) gets a caption line before it.
std::string readablePage(std::string_view markdown);

// A one-line hint (UTF-8) on a property name of the code editor's property list (Windows-1251,
// any case), or "" for a name the list does not have built in.
std::string_view propertyHint(std::string_view name);

}  // namespace marvo
