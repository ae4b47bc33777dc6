// Where an engine message or the index error arose, in the author's terms, and its Russian wording.
#pragma once

#include <string>

#include "engine/host.h"
#include "program_builder.h"

namespace marvo {

struct ErrorLocation {
  LineOrigin origin;
  std::string text;  // the text of that scenario or library line (or the program line game start made)
  MessageName nameKind = MessageName::None;
  std::string name;
};

// "Строка 54 сценария", "Строка 7 библиотеки", "Строка, созданная запуском игры из строки 54
// сценария" (or "... библиотеки"), "Строка, созданная запуском игры". Windows-1251.
std::string describeOrigin(const LineOrigin& origin);

// The origin, the trimmed line text and what the name is, e.g.
// "Строка 54 сценария: btn [Выйти] коридорр — метки «коридорр» нет". Windows-1251.
std::string describeLocation(const ErrorLocation& location);

}  // namespace marvo
