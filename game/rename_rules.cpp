// Names in scenario lines: words under the caret, whole-name matches, the rules for new names and renaming.
#include "rename_rules.h"

#include <set>

#include "engine/decode.h"
#include "engine/text.h"
#include "mapedit/map_export.h"
#include "npc/dialogue_script.h"

namespace marvo::names {

using namespace marvo::literals;

bool isNameChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b <= 32) return false;
  if (kDelimiters.find(c) != std::string_view::npos) return false;
  return std::string_view(":#[]!@^%\"'`").find(c) == std::string_view::npos;
}

Span wordAt(std::string_view line, int column) {
  const int size = static_cast<int>(line.size());
  if (column < 0) column = 0;
  if (column > size) column = size;
  int start = column;
  while (start > 0 && isNameChar(line[static_cast<std::size_t>(start - 1)])) --start;
  int end = column;
  while (end < size && isNameChar(line[static_cast<std::size_t>(end)])) ++end;
  return {start, end};
}

std::vector<Span> nameSpans(std::string_view line, std::string_view name, SymbolKind kind) {
  std::vector<Span> spans;
  if (name.empty()) return spans;
  const std::string lowered = lower(line);
  // In a text or menu line only "#name" names a variable; the rest is prose.
  const std::size_t first = lowered.find_first_not_of(" \t^");
  const bool prose = first != std::string::npos && (lowered[first] == '!' || lowered[first] == '@');
  for (std::size_t at = lowered.find(name); at != std::string::npos; at = lowered.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    if (at > 0 && isNameChar(lowered[at - 1])) continue;
    if (prose && kind == SymbolKind::Variable && (at == 0 || lowered[at - 1] != '#')) continue;
    if (end < lowered.size() && isNameChar(lowered[end]) && !(kind == SymbolKind::Object && lowered[end] == '_'))
      continue;
    spans.push_back({static_cast<int>(at), static_cast<int>(end)});
  }
  return spans;
}

bool renamable(SymbolKind kind) {
  return kind == SymbolKind::Location || kind == SymbolKind::Object || kind == SymbolKind::Variable;
}

std::optional<NameAt> symbolAt(const SymbolIndex& index, int lineIndex, std::string_view line, int column) {
  if (lineIndex < 0 || lineIndex >= index.lineCount(LineOrigin::Scenario)) return std::nullopt;
  const Span word = wordAt(line, column);
  std::optional<NameAt> inWord;
  for (const Symbol& s : index.symbolsOn(LineOrigin::Scenario, lineIndex)) {
    if (!renamable(s.kind)) continue;
    for (const Span& span : nameSpans(line, s.name, s.kind)) {
      if (span.start <= column && column <= span.end) return NameAt{s, span};
      if (!inWord && span.start >= word.start && span.end <= word.end && word.start < word.end)
        inWord = NameAt{s, span};
    }
  }
  return inWord;
}

std::string nameProblem(SymbolKind kind, std::string_view name) {
  if (name.empty()) return std::string("Имя не может быть пустым."_w);
  for (char c : name)
    if (!isNameChar(c) && c != '_')
      return std::string(
          "Имя должно быть одним словом: без пробелов, двоеточия, «#», «!», «@», скобок и знаков + - = < > * / , ;."_w);
  const std::string lowered = lower(name);
  if (kind == SymbolKind::Location) {
    // The map export breaks these words in its labels: game start would read such lines otherwise.
    if (mapedit::strip(name) != name || mapedit::shownSafely(name) != name)
      return concat("В имени локации «"_w, name,
                    "» есть «read», «return» или «btn»: запуск игры примет строки с этим именем за READ, место для "
                    "библиотеки или кнопку. Возьмите другое имя."_w);
    return {};
  }
  if (kind == SymbolKind::Object && contains(name, "_"))
    return concat("В имени предмета «"_w, name,
                  "» не должно быть «_»: по нему отделяется название свойства. Пишите вместо пробела точку."_w);
  if (kind == SymbolKind::Variable &&
      (isNumberLiteral(lowered) || lowered == "rnd" || lowered == "time" || lowered == "step"))
    return concat("«"_w, name, "» — число или особая переменная (rnd, time, step). Возьмите другое имя."_w);
  if (!npc::labelProblem(lowered).empty())
    return concat("Имя «"_w, name,
                  "» не годится: строки, которые начинаются с него, запуск игры или движок прочтёт как другую "
                  "команду (do, call, read, talk, goto, если…), а «if», «btn», «return» внутри имени меняют любую "
                  "строку с ним. Возьмите другое имя."_w);
  return {};
}

RenameResult rename(const SymbolIndex& index, const std::vector<std::string>& scenario, SymbolKind kind,
                    std::string_view oldName, std::string_view newName) {
  RenameResult out;
  out.problem = nameProblem(kind, newName);
  if (!out.problem.empty()) return out;
  const std::string key = lower(newName);
  const std::string old(oldName);  // the index's names change as the text does
  const auto occurrences = index.occurrences(kind, old);
  const auto where = [](const Symbol& s) {
    return concat("строке "_w, std::to_string(s.line + 1),
                  s.source == LineOrigin::Library ? " библиотеки"_w : " сценария"_w);
  };
  if (key != old) {
    if (const auto other = index.occurrences(kind, key); !other.empty()) {
      out.problem =
          concat("Имя «"_w, newName, "» уже занято: оно есть в "_w, where(other.front()), ". Возьмите другое имя."_w);
      return out;
    }
  }
  for (const Symbol& s : occurrences)
    if (s.source == LineOrigin::Library) {
      out.problem = concat("«"_w, old, "» есть в библиотеке ("_w, where(s),
                           "): переименуйте его и там, в редакторе библиотеки."_w);
      return out;
    }
  out.lines = scenario;
  std::set<int> done;  // a line may hold several occurrences of the symbol
  for (const Symbol& s : occurrences) {
    if (s.line < 0 || s.line >= static_cast<int>(scenario.size()) || !done.insert(s.line).second) continue;
    const std::string& line = scenario[static_cast<std::size_t>(s.line)];
    const auto spans = nameSpans(line, old, kind);
    if (spans.empty()) continue;
    std::string edited;
    std::size_t from = 0;
    for (const Span& span : spans) {
      edited.append(line, from, static_cast<std::size_t>(span.start) - from);
      edited.append(newName);
      from = static_cast<std::size_t>(span.end);
    }
    edited.append(line, from);
    out.lines[static_cast<std::size_t>(s.line)] = std::move(edited);
    out.changed.push_back(s.line);
  }
  return out;
}

}  // namespace marvo::names
