// The language server's spelling warnings, their corrections as code actions, and the setting
// that turns them off.
#include "engine/codec.h"
#include "server.h"

namespace marvo::lsp {

namespace {
// "spelling": true/false in an object of options or settings; std::nullopt when absent.
std::optional<bool> spellingSetting(const json& options) {
  if (!options.is_object()) return std::nullopt;
  if (options.contains("spelling") && options["spelling"].is_boolean()) return options["spelling"].get<bool>();
  return std::nullopt;
}
}  // namespace

void Server::addSpellingDiagnostics(OpenDocument& doc, json& list) {
  if (!spellingOn_) return;
  if (!doc.spellingMade) {
    auto made = makeDocumentSpelling(doc.path);
    if (!made) {
      // The dictionaries are still loading: the warnings come with a later publication.
      doc.diagnosticsDue = Clock::now() + std::chrono::milliseconds(50);
      return;
    }
    doc.spellingMade = true;
    doc.spelling = std::move(*made);
  }
  if (!doc.spelling) return;  // no dictionary: no spelling warnings, nothing else changes
  for (const SpellingWarning& w : doc.spelling->warnings(doc.text.lines()))
    list.push_back({{"range", range(doc, LineOrigin::Scenario, w.line, w.column, w.column + w.length)},
                    {"severity", 2},
                    {"source", "marvo"},
                    {"code", "spelling"},
                    {"message", cp1251ToUtf8(w.message)},
                    {"data", {{"word", cp1251ToUtf8(w.word)}}}});
}

void Server::didChangeConfiguration(const json& params) {
  if (!params.is_object() || !params.contains("settings")) return;
  const json& settings = params["settings"];
  // Either {"marvo": {"spelling": false}} or the section itself.
  std::optional<bool> on = spellingSetting(settings);
  if (!on && settings.is_object() && settings.contains("marvo")) on = spellingSetting(settings["marvo"]);
  if (!on || *on == spellingOn_) return;
  spellingOn_ = *on;
  for (auto& [uri, doc] : documents_) scheduleDiagnostics(*doc);
}

json Server::codeActions(const json& params) {
  OpenDocument& doc = documentOf(params);
  json actions = json::array();
  if (!doc.spelling || !params.contains("context")) return actions;
  for (const json& d : params["context"].value("diagnostics", json::array())) {
    if (d.value("code", json()) != "spelling" || !d.contains("data") || !d["data"].is_object()) continue;
    const json word = d["data"].value("word", json());
    if (!word.is_string()) continue;
    for (const std::string& correction : doc.spelling->suggest(utf8ToCp1251(word.get<std::string>()))) {
      const std::string text = cp1251ToUtf8(correction);
      actions.push_back(
          {{"title", "Заменить на " + text},
           {"kind", "quickfix"},
           {"diagnostics", json::array({d})},
           {"edit", {{"changes", {{doc.uri, json::array({{{"range", d["range"]}, {"newText", text}}})}}}}}});
    }
  }
  return actions;
}

}  // namespace marvo::lsp
