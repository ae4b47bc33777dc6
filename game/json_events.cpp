// JSON Lines of the engine's events, shared by marvo-cli and the web player.
#include "json_events.h"

#include <cstdio>

#include "engine/codec.h"

namespace marvo::events {

std::string jsonString(std::string_view cp1251) { return jsonStringUtf8(cp1251ToUtf8(cp1251)); }

std::string jsonStringUtf8(std::string_view utf8) {
  std::string out = "\"";
  out.reserve(utf8.size() + 2);
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string jsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ", ";
    out += jsonString(items[i]);
  }
  return out + "]";
}

std::string clear() { return "{\"clear\": true}"; }
std::string out(std::string_view cp1251) { return "{\"out\": " + jsonString(cp1251) + "}"; }
std::string message(std::string_view cp1251, const std::optional<ErrorLocation>& at) {
  return "{\"message\": " + jsonString(cp1251) + (at ? ", \"at\": " + location(*at) : std::string()) + "}";
}

std::string indexError(const std::optional<ErrorLocation>& at) {
  return std::string("{\"error\": \"index\"") + (at ? ", \"at\": " + location(*at) : std::string()) + "}";
}

std::string location(const ErrorLocation& at) {
  std::string out = "{\"source\": ";
  switch (at.origin.source) {
    case LineOrigin::Scenario:
      out += "\"scenario\"";
      break;
    case LineOrigin::Library:
      out += "\"library\"";
      break;
    case LineOrigin::Game:
      out += "\"game\"";
      break;
  }
  if (at.origin.source != LineOrigin::Game) out += ", \"line\": " + std::to_string(at.origin.line);
  if (at.origin.generated) out += ", \"generated\": true";
  out += ", \"text\": " + jsonString(at.text);
  if (at.nameKind != MessageName::None) out += ", \"name\": " + jsonString(at.name);
  out += ", \"where\": " + jsonString(describeOrigin(at.origin));
  return out + "}";
}

std::string list(std::string_view name, const std::vector<std::string>& items) {
  return "{\"" + std::string(name) + "\": " + jsonArray(items) + "}";
}

}  // namespace marvo::events
