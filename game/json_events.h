// The engine's events as the JSON Lines of `marvo-cli play --events` (UTF-8, one object a line).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "error_location.h"

namespace marvo::events {

// A JSON string literal for Windows-1251 text (converted to UTF-8, control characters escaped).
std::string jsonString(std::string_view cp1251);
// The same for text that is already UTF-8.
std::string jsonStringUtf8(std::string_view utf8);
// A JSON array of such strings: ["a", "b"].
std::string jsonArray(const std::vector<std::string>& items);

// One event line each, without the line end.
std::string clear();                       // {"clear": true}
std::string out(std::string_view cp1251);  // {"out": "TEXT"}
// {"message": "TEXT"}, with "at" when the place it arose at is known.
std::string message(std::string_view cp1251, const std::optional<ErrorLocation>& at = std::nullopt);
// {"error": "index"}, with "at" when the place it arose at is known.
std::string indexError(const std::optional<ErrorLocation>& at = std::nullopt);
// The "at" object: {"source": "scenario"|"library"|"game", "line": N, "generated": true,
// "text": "...", "name": "...", "where": "Строка 54 сценария"} (line only for the scenario and the
// library, generated and name only when they apply; where is describeOrigin's wording, always).
std::string location(const ErrorLocation& at);
// {"inventory": [...]}, {"characteristics": [...]} or {"monitor": [...]}.
std::string list(std::string_view name, const std::vector<std::string>& items);

}  // namespace marvo::events
