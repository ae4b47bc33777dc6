// Russian wording of error locations, shared by the main window, marvo-cli and (through the
// events' "where") the web player.
#include "error_location.h"

#include "engine/text.h"

namespace marvo {

using namespace literals;

std::string describeOrigin(const LineOrigin& origin) {
  if (origin.source == LineOrigin::Game) return std::string("Строка, созданная запуском игры"_w);
  const std::string n = std::to_string(origin.line);
  const std::string_view of = origin.source == LineOrigin::Scenario ? "сценария"_w : "библиотеки"_w;
  if (origin.generated) return concat("Строка, созданная запуском игры из строки "_w, n, " ", of);
  return concat("Строка "_w, n, " ", of);
}

std::string describeLocation(const ErrorLocation& location) {
  std::string out = describeOrigin(location.origin);
  const std::string text = trim(location.text);
  if (!text.empty()) out += concat(": ", text);
  if (location.nameKind == MessageName::None) return out;
  const std::string quoted = concat("«"_w, location.name, "»"_w);
  switch (location.nameKind) {
    case MessageName::MissingLabel:
      return concat(out, " — метки "_w, quoted, " нет"_w);
    case MessageName::MissingVariable:
      return concat(out, " — переменной "_w, quoted, " нет"_w);
    case MessageName::Variable:
      return concat(out, " — переменная "_w, quoted);
    case MessageName::Object:
      return concat(out, " — объект "_w, quoted);
    case MessageName::None:
      break;
  }
  return out;
}

}  // namespace marvo
