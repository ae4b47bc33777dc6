// The language server's features on an open document: completion, hover, definition, references,
// rename, document symbols and folding ranges.
#include <algorithm>
#include <set>

#include "checker/checker.h"
#include "editor/keywords.h"
#include "editor/property_list.h"
#include "engine/codec.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "help/reference_topics.h"
#include "reference_pages.h"
#include "server.h"

namespace marvo::lsp {

using namespace marvo::literals;

namespace {

// Protocol kinds.
constexpr int kCompletionProperty = 10, kCompletionKeyword = 14, kCompletionVariable = 6, kCompletionClass = 7,
              kCompletionReference = 18;
constexpr int kSymbolModule = 2, kSymbolObject = 19;
constexpr std::size_t kMaxCompletions = 500;

std::string_view kindName(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::Location:
      return "локация"_w;
    case SymbolKind::Object:
      return "предмет"_w;
    case SymbolKind::Variable:
      return "переменная"_w;
    default:
      return {};
  }
}

std::string whereText(const Symbol& s) {
  return concat("Строка "_w, std::to_string(s.line + 1),
                s.source == LineOrigin::Library ? " библиотеки"_w : " сценария"_w);
}

// The statement of a line as the engine reads it: trimmed, lower-cased.
std::string statementOf(std::string_view line) { return lower(trimView(line)); }

// Does the caret stand where a label is written: after GOTO, JUMP, call or do and their blank, or
// after the "]" of a btn line?
bool expectsLabel(std::string_view before) {
  const std::string s = statementOf(before);
  const std::size_t bracket = s.find(']');
  if (contains(s, "btn") && bracket != std::string::npos) return true;
  const std::size_t blank = s.find(' ');
  const bool pastFirstWord =
      blank != std::string::npos || (!before.empty() && static_cast<unsigned char>(before.back()) <= 32);
  if (!pastFirstWord || s.empty()) return false;
  const std::string first = s.substr(0, blank);
  return alias::kGoto.starts(first) || first.starts_with("jump") || first.starts_with("call") || first == "do";
}

}  // namespace

std::optional<Server::Found> Server::symbolAt(const OpenDocument& doc, Place place) const {
  if (!doc.analysed) return std::nullopt;
  const auto at =
      names::symbolAt(doc.index, place.line, doc.text.lines()[static_cast<std::size_t>(place.line)], place.column);
  if (!at) return std::nullopt;
  return Found{at->symbol, at->span};
}

Server::Found Server::renameableAt(const OpenDocument& doc, Place place) const {
  auto found = symbolAt(doc, place);
  if (!found)
    throw RequestError{kRequestFailed,
                       cp1251ToUtf8("Переименовать можно локацию, предмет или переменную: поставьте курсор на имя."_w)};
  return *found;
}

std::vector<json> Server::spansOf(const OpenDocument& doc, const Symbol& symbol) const {
  std::vector<json> out;
  const auto& text = textOf(doc, symbol.source);
  if (symbol.line < 0 || symbol.line >= static_cast<int>(text.size())) return out;
  for (const Span& span : nameSpans(text[static_cast<std::size_t>(symbol.line)], symbol.name, symbol.kind))
    out.push_back(range(doc, symbol.source, symbol.line, span.start, span.end));
  // A name that game start makes of the line (a btn target) may not stand in it as written.
  if (out.empty()) out.push_back(lineRange(doc, symbol.source, symbol.line));
  return out;
}

json Server::location(const OpenDocument& doc, const Symbol& symbol) const {
  const auto spans = spansOf(doc, symbol);
  return {{"uri", uriOf(doc, symbol.source)}, {"range", spans.front()}};
}

json Server::completion(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const std::string& line = doc.text.lines()[static_cast<std::size_t>(place.line)];
  const std::string_view before = std::string_view(line).substr(0, static_cast<std::size_t>(place.column));
  // The word being typed: name characters back from the caret ("<object>" counts as a name here).
  std::size_t start = before.size();
  while (start > 0 && isNameChar(before[start - 1])) --start;
  if (start >= 8 && lower(before.substr(start - 8, 8)) == "<object>") start -= 8;
  const std::string word = lower(before.substr(start));

  // In comments nothing is offered; in text and menu lines only variables after "#".
  const std::string statement = statementOf(line);
  const std::size_t kindAt = statement.find_first_not_of("^ ");
  const char lineKind = kindAt == std::string::npos ? '\0' : statement[kindAt];
  const bool prose = lineKind == '!' || lineKind == '@';
  if (lineKind == '*' || (prose && (start == 0 || before[start - 1] != '#')))
    return {{"isIncomplete", false}, {"items", json::array()}};

  json items = json::array();
  bool incomplete = false;
  std::set<std::string> seen;
  auto add = [&](std::string_view label, int kind, std::string detail, std::string documentation,
                 std::size_t replaceFrom) {
    if (!seen.insert(std::string(label)).second) return;
    if (items.size() >= kMaxCompletions) {
      incomplete = true;
      return;
    }
    json item = {{"label", cp1251ToUtf8(label)}, {"kind", kind}};
    if (!detail.empty()) item["detail"] = std::move(detail);
    if (!documentation.empty()) item["documentation"] = {{"kind", "markdown"}, {"value", std::move(documentation)}};
    const int from = doc.text.utf16Column(place.line, static_cast<int>(replaceFrom));
    const int to = doc.text.utf16Column(place.line, place.column);
    item["textEdit"] = {
        {"range",
         {{"start", {{"line", place.line}, {"character", from}}}, {"end", {{"line", place.line}, {"character", to}}}}},
        {"newText", cp1251ToUtf8(label)}};
    items.push_back(std::move(item));
  };
  auto prefixed = [](std::string_view name, std::string_view typed) { return lower(name).starts_with(typed); };

  // A property after "object_": the object must be declared, or be "<object>".
  if (const std::size_t underscore = word.find('_'); underscore != std::string::npos && doc.analysed) {
    const std::string object = word.substr(0, underscore);
    const std::string typed = word.substr(underscore + 1);
    if (object == "<object>" || doc.index.definition(SymbolKind::Object, object)) {
      editor::PropertyList properties;
      for (const std::string& p : properties.items())
        if (prefixed(p, typed)) add(p, kCompletionProperty, std::string(propertyHint(p)), {}, start + underscore + 1);
      return {{"isIncomplete", false}, {"items", items}};
    }
  }
  auto addSymbols = [&](SymbolKind kind, int itemKind, const std::string& typed, std::size_t from) {
    if (!doc.analysed) return;
    for (auto source : {LineOrigin::Scenario, LineOrigin::Library}) {
      if (source == LineOrigin::Library && !doc.index.librarySpliced()) continue;
      for (const Symbol& s : doc.index.allDefinitions(kind, source)) {
        if (!s.name.starts_with(typed)) continue;
        if (items.size() >= kMaxCompletions) {
          incomplete = true;  // the client asks again as more is typed
          return;
        }
        add(s.name, itemKind, cp1251ToUtf8(concat(kindName(kind), ", "_w, whereText(s))), {}, from);
      }
    }
  };
  if (prose) {
    addSymbols(SymbolKind::Variable, kCompletionVariable, word, start);
    return {{"isIncomplete", incomplete}, {"items", items}};
  }
  if (expectsLabel(before)) {
    addSymbols(SymbolKind::Location, kCompletionReference, word, start);
    return {{"isIncomplete", incomplete}, {"items", items}};
  }
  // Keywords with the title and summary of their reference page, then objects and variables.
  for (std::string_view keyword : editor::keywordTable()) {
    if (!prefixed(keyword, word)) continue;
    const std::string page = referencePage(keyword);
    const PageSummary summary = page.empty() ? PageSummary{} : pageSummary(page);
    add(keyword, kCompletionKeyword, summary.title, summary.summary, start);
  }
  addSymbols(SymbolKind::Object, kCompletionClass, word, start);
  addSymbols(SymbolKind::Variable, kCompletionVariable, word, start);
  return {{"isIncomplete", incomplete}, {"items", items}};
}

json Server::hover(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const std::string& line = doc.text.lines()[static_cast<std::size_t>(place.line)];
  const Span word = wordAt(line, place.column);
  const std::string text =
      line.substr(static_cast<std::size_t>(word.start), static_cast<std::size_t>(word.end - word.start));
  // The property part of "object_Property" under the caret: the property list's hint.
  if (const std::size_t underscore = text.find('_');
      underscore != std::string::npos && place.column > word.start + static_cast<int>(underscore)) {
    const std::string_view hint = propertyHint(std::string_view(text).substr(underscore + 1));
    if (!hint.empty())
      return {{"contents",
               {{"kind", "markdown"},
                {"value", "**" + cp1251ToUtf8(text.substr(underscore + 1)) + "**\n\n" + std::string(hint)}}},
              {"range",
               range(doc, LineOrigin::Scenario, place.line, word.start + static_cast<int>(underscore) + 1, word.end)}};
  }
  if (const auto found = symbolAt(doc, place)) {
    const auto def = doc.index.definition(found->symbol.kind, found->symbol.name);
    std::string value;
    if (def) {
      const auto& text = textOf(doc, def->source);
      value = "```marvo\n" + cp1251ToUtf8(trim(text[static_cast<std::size_t>(def->line)])) + "\n```\n" +
              cp1251ToUtf8(concat(kindName(found->symbol.kind), ", "_w, whereText(*def)));
    } else {
      value = cp1251ToUtf8(concat("«"_w, found->symbol.name, "» ("_w, kindName(found->symbol.kind),
                                  ") нигде не определено в тексте, который запускает игра."_w));
    }
    return {{"contents", {{"kind", "markdown"}, {"value", value}}},
            {"range", range(doc, LineOrigin::Scenario, place.line, found->span.start, found->span.end)}};
  }
  // A keyword: the title and the first paragraph of its reference page (prose and comments have none).
  const std::string statement = statementOf(line);
  const std::size_t kindAt = statement.find_first_not_of("^ ");
  if (word.start == word.end ||
      (kindAt != std::string::npos && std::string_view("!@*").find(statement[kindAt]) != std::string_view::npos))
    return nullptr;
  const std::string page = referencePage(text);
  if (page.empty()) return nullptr;
  const PageSummary summary = pageSummary(page);
  const std::string value = "**" + summary.title + "**\n\n" + summary.summary;
  return {{"contents", {{"kind", "markdown"}, {"value", value}}},
          {"range", range(doc, LineOrigin::Scenario, place.line, word.start, word.end)}};
}

json Server::definition(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const auto found = symbolAt(doc, place);
  if (!found) return nullptr;
  const auto def = doc.index.definition(found->symbol.kind, found->symbol.name);
  if (!def) return nullptr;
  return location(doc, *def);
}

json Server::references(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const auto found = symbolAt(doc, place);
  if (!found) return nullptr;
  bool declarations = true;
  if (params.contains("context") && params["context"].is_object())
    declarations = params["context"].value("includeDeclaration", true);
  json out = json::array();
  std::set<std::pair<int, int>> done;  // a line with several occurrences is listed once
  for (const Symbol& s : doc.index.occurrences(found->symbol.kind, found->symbol.name)) {
    if (!declarations && s.role == SymbolRole::Definition) continue;
    if (!done.insert({static_cast<int>(s.source), s.line}).second) continue;
    for (json& r : spansOf(doc, s)) out.push_back({{"uri", uriOf(doc, s.source)}, {"range", std::move(r)}});
  }
  return out;
}

json Server::prepareRename(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const Found found = renameableAt(doc, place);
  for (const Symbol& s : doc.index.occurrences(found.symbol.kind, found.symbol.name))
    if (s.source == LineOrigin::Library)
      throw RequestError{kRequestFailed,
                         cp1251ToUtf8(concat("«"_w, found.symbol.name, "» есть в библиотеке ("_w, lower(whereText(s)),
                                             "): переименуйте его и там, в редакторе библиотеки."_w))};
  return {{"range", range(doc, LineOrigin::Scenario, place.line, found.span.start, found.span.end)},
          {"placeholder", cp1251ToUtf8(std::string_view(doc.text.lines()[static_cast<std::size_t>(place.line)])
                                           .substr(static_cast<std::size_t>(found.span.start),
                                                   static_cast<std::size_t>(found.span.end - found.span.start)))}};
}

json Server::rename(const json& params) {
  OpenDocument& doc = documentOf(params);
  const Place place = doc.text.place(params.at("position").at("line"), params.at("position").at("character"));
  const Found found = renameableAt(doc, place);
  const std::string& typed = params.at("newName").get_ref<const std::string&>();
  const std::string name = utf8ToCp1251(typed);
  if (cp1251ToUtf8(name) != typed)
    throw RequestError{kRequestFailed,
                       cp1251ToUtf8("В новом имени есть знаки, которых нет в кодировке Windows-1251."_w)};
  const SymbolKind kind = found.symbol.kind;
  if (std::string problem = nameProblem(kind, name); !problem.empty())
    throw RequestError{kRequestFailed, cp1251ToUtf8(problem)};
  const std::string key = lower(name);
  const std::string oldName(found.symbol.name);
  const auto occurrences = doc.index.occurrences(kind, oldName);
  if (key != oldName) {
    // The object placer's rule: a name an earlier CREATE declares is taken.
    const int created = kind == SymbolKind::Object ? check::findCreate(doc.text.lines(), key) : -1;
    const auto other = doc.index.occurrences(kind, key);
    if (created >= 0 || !other.empty()) {
      const int at = created >= 0 ? created : other.front().line;
      throw RequestError{
          kRequestFailed,
          cp1251ToUtf8(concat(
              "Имя «"_w, name, "» уже занято: "_w, kindName(kind), " с ним есть в "_w,
              lower(whereText(Symbol{
                  kind, SymbolRole::Reference, created >= 0 ? LineOrigin::Scenario : other.front().source, at, {}})),
              ". Возьмите другое имя."_w))};
    }
  }
  for (const Symbol& s : occurrences)
    if (s.source == LineOrigin::Library)
      throw RequestError{kRequestFailed,
                         cp1251ToUtf8(concat("«"_w, oldName, "» есть в библиотеке ("_w, lower(whereText(s)),
                                             "): переименуйте его и там, в редакторе библиотеки."_w))};
  // Each line once (a line may hold several occurrences of the symbol), every whole-name match in it.
  json edits = json::array();
  std::set<int> done;
  for (const Symbol& s : occurrences) {
    if (!done.insert(s.line).second) continue;
    for (const Span& span : nameSpans(doc.text.lines()[static_cast<std::size_t>(s.line)], oldName, kind))
      edits.push_back({{"range", range(doc, LineOrigin::Scenario, s.line, span.start, span.end)}, {"newText", typed}});
  }
  return {{"changes", {{doc.uri, edits}}}};
}

json Server::documentSymbols(const json& params) {
  OpenDocument& doc = documentOf(params);
  json out = json::array();
  if (!doc.analysed) return out;
  const auto& lines = doc.text.lines();
  auto locations = doc.index.allDefinitions(SymbolKind::Location);
  std::erase_if(locations, [&](const Symbol& s) { return !lines[static_cast<std::size_t>(s.line)].starts_with(":"); });
  const auto objects = doc.index.allDefinitions(SymbolKind::Object);
  std::size_t nextObject = 0;
  auto objectSymbol = [&](const Symbol& s) {
    const json r = lineRange(doc, LineOrigin::Scenario, s.line);
    return json{{"name", cp1251ToUtf8(s.name)},
                {"kind", kSymbolObject},
                {"range", r},
                {"selectionRange", spansOf(doc, s).front()}};
  };
  // Objects declared before the first location stand on their own; later ones inside their location.
  while (nextObject < objects.size() && (locations.empty() || objects[nextObject].line < locations.front().line))
    out.push_back(objectSymbol(objects[nextObject++]));
  for (std::size_t i = 0; i < locations.size(); ++i) {
    const Symbol& s = locations[i];
    int last = i + 1 < locations.size() ? locations[i + 1].line - 1 : doc.text.lineCount() - 1;
    while (last > s.line && trimView(lines[static_cast<std::size_t>(last)]).empty()) --last;
    json children = json::array();
    while (nextObject < objects.size() && objects[nextObject].line <= last)
      children.push_back(objectSymbol(objects[nextObject++]));
    const std::string name = trim(std::string_view(lines[static_cast<std::size_t>(s.line)]).substr(1));
    out.push_back({{"name", cp1251ToUtf8(name.empty() ? std::string(":") : name)},
                   {"kind", kSymbolModule},
                   {"range",
                    {{"start", {{"line", s.line}, {"character", 0}}},
                     {"end",
                      {{"line", last},
                       {"character",
                        doc.text.utf16Column(last, static_cast<int>(lines[static_cast<std::size_t>(last)].size()))}}}}},
                   {"selectionRange", lineRange(doc, LineOrigin::Scenario, s.line)},
                   {"children", children}});
  }
  while (nextObject < objects.size()) out.push_back(objectSymbol(objects[nextObject++]));
  return out;
}

json Server::foldingRanges(const json& params) {
  OpenDocument& doc = documentOf(params);
  json out = json::array();
  const auto& lines = doc.text.lines();
  const int count = doc.text.lineCount();
  int label = -1;
  auto closeLocation = [&](int end) {
    while (end > label && trimView(lines[static_cast<std::size_t>(end)]).empty()) --end;
    if (label >= 0 && end > label) out.push_back({{"startLine", label}, {"endLine", end}, {"kind", "region"}});
  };
  std::vector<int> ifs;
  for (int i = 0; i < count; ++i) {
    const std::string_view raw = lines[static_cast<std::size_t>(i)];
    if (raw.starts_with(":")) {
      closeLocation(i - 1);
      label = i;
      ifs.clear();  // a label line ends the IF levels, as it resets the engine's depth
      continue;
    }
    const std::string s = statementOf(raw);
    if (s.empty() || s.starts_with("*") || s.starts_with("!") || s.starts_with("@")) continue;
    if (opensIfLevel(s)) {
      ifs.push_back(i);
    } else if (closesIfLevel(s) && !ifs.empty()) {
      if (i - 1 > ifs.back()) out.push_back({{"startLine", ifs.back()}, {"endLine", i - 1}});
      ifs.pop_back();
    }
  }
  closeLocation(count - 1);
  return out;
}

}  // namespace marvo::lsp
