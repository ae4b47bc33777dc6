// Objects and variables: property suffixes, undeclared objects, stored blanks, variables that are
// read but never assigned or assigned but never read.
#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

// The property suffixes in the engine's order, then the visibility flag the engine reads itself.
const std::array<std::string_view, 7> kSuffixes = {"_расположение"_w, "_дескриптор"_w, "_маска"_w,    "_синоним"_w,
                                                   "_содержание"_w,   "_описание"_w,   "_невидимый"_w};

bool hasAnyObject(std::string_view s) { return s.find(kAnyObject) != std::string_view::npos; }

// The suffix that a "_..." tail of `word` misses by a small edit distance, or "".
std::string_view nearSuffix(std::string_view word, std::size_t& at) {
  for (std::size_t p = word.find('_'); p != std::string_view::npos; p = word.find('_', p + 1)) {
    const std::string_view tail = word.substr(p);
    if (tail.size() < 6) continue;
    for (auto s : kSuffixes) {
      if (tail == s) return {};
      const int d = editDistance(tail, s, 2);
      if (d >= 1 && d <= 2) {
        at = p;
        return s;
      }
    }
  }
  return {};
}

bool isSpecial(std::string_view name) { return name == "rnd" || name == "time" || name == "step"; }

}  // namespace

void checkObjects(Context& ctx) {
  std::unordered_map<std::string, int> created;  // name -> first CREATE line
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kCreate)) continue;
    const auto [first, isNew] = created.emplace(l.d.word(1).text, i);
    const ProgramLine& f = ctx.line(first->second);
    if (!isNew && (f.source != l.source || f.origin != l.origin))
      ctx.report.at(
          l, Severity::Error,
          concat("Объект "_w, quoted(l.d.word(1).text), " уже объявлен в строке "_w, std::to_string(f.origin + 1),
                 f.source == Source::Library ? concat(" библиотеки "_w, ctx.input.libraryName) : std::string(),
                 ": второй CREATE остановит игру сообщением «Объект "_w, l.d.word(1).text,
                 " объявлен повторно». Удалите одно из объявлений или переименуйте объект."_w),
          "duplicate-create");
  }
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    const DecodedLine& d = l.d;
    if (l.made != Made::Copy || (l.rows & kComment)) continue;
    const std::string& w0 = d.word(0).text;
    if (l.rows & kProperty) {
      const std::size_t k = kPropertySuffixLength[static_cast<int>(d.property)];
      const std::string name = w0.substr(0, w0.size() >= k ? w0.size() - k : 0);
      if (!hasAnyObject(name) && !ctx.objects.count(name) && !(l.rows & kText))
        ctx.report.at(l, Severity::Error,
                      concat("Объект "_w, quoted(name),
                             " не объявлен ни одним CREATE, и присваивание свойства ничего не сделает. "
                             "Добавьте выше «CREATE "_w,
                             name, "» или исправьте имя."_w),
                      "undeclared-object");
      if (d.property == Property::Descriptor || d.property == Property::Content ||
          d.property == Property::Description) {
        const std::string raw = runtimeRaw(l.text);
        const std::size_t from = w0.size() + 1;
        if (from < raw.size() && (raw[from] == ' ' || raw[from] == '=' || raw[from] == '\t'))
          ctx.report.at(l, Severity::Error,
                        concat("Значение "_w, quoted(std::string_view(raw).substr(from)),
                               " сохранится вместе с начальными символами: значение начинается сразу за "
                               "одним знаком после имени свойства. Пишите без пробелов вокруг «=», например «"_w,
                               std::string_view(l.text).substr(0, w0.size()), "=Текст»."_w),
                        "stored-blanks");
      }
      continue;
    }
    if (l.rows & kIf) {
      if (d.ifForm == 2) {
        const std::string& w1 = d.truthWord(1).text;
        const std::string name = w1.substr(0, w1.find('_'));
        if (!hasAnyObject(name) && !ctx.objects.count(name))
          ctx.report.at(l, Severity::Error,
                        concat("IF проверяет расположение объекта "_w, quoted(name),
                               ", но ни один CREATE его не объявляет: условие всегда ложно. Добавьте «CREATE "_w, name,
                               "» или исправьте имя."_w),
                        "undeclared-object");
      }
      if ((d.ifForm == 1 || d.ifForm == 2) && (contains(d.statement, "<") || contains(d.statement, ">")))
        ctx.report.at(l, Severity::Error,
                      concat("В "_w, quoted(l.text),
                             " сравнение «<>», «<» или «>» не работает: с расположением и LOCATION игра проверяет "
                             "только равенство, и условие выполнится именно при равенстве. Используйте «=» и "
                             "переставьте ветви."_w),
                      "location-comparison");
    }
    if (l.rows & kText) continue;
    for (int w = 0; w <= 1; ++w) {
      const std::string& word = d.word(w).text;
      if (w == 1 && !(l.rows & kIf)) break;
      std::size_t at = 0;
      if (auto s = nearSuffix(word, at); !s.empty())
        ctx.report.at(l, Severity::Error,
                      concat(quoted(word), " — не свойство объекта, а обычная переменная. Возможно, имелось в виду "_w,
                             quoted(concat(std::string_view(word).substr(0, at), s)), "."_w),
                      "property-near-miss");
    }
  }
}

void checkVariables(Context& ctx) {
  std::unordered_map<std::string, int> assigned;                              // name -> first assigning line
  std::unordered_map<std::string, int> read;                                  // name -> first reading line
  std::unordered_set<std::string> readSuffixes{std::string("_невидимый"_w)};  // read for every object
  std::unordered_set<std::string> assignedSuffixes;
  std::vector<std::pair<int, std::string>> reads;  // every read, to report unassigned ones
  std::vector<Piece> pieces;

  auto noteRead = [&](int line, const std::string& name, bool reference) {
    if (!reference && isNumberLiteral(name)) return;
    if (const auto p = name.find(kAnyObject); p != std::string::npos) {
      if (const auto u = name.find('_', p); u != std::string::npos) readSuffixes.insert(name.substr(u));
      return;
    }
    read.emplace(name, line);
    reads.emplace_back(reference ? -line - 1 : line, name);
  };
  auto noteAssigned = [&](int line, const std::string& name) {
    if (const auto p = name.find(kAnyObject); p != std::string::npos) {
      if (const auto u = name.find('_', p); u != std::string::npos) assignedSuffixes.insert(name.substr(u));
      return;
    }
    assigned.emplace(name, line);
  };

  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    const DecodedLine& d = l.d;
    const std::uint32_t r = l.rows;
    if (r & kVip) {
      noteAssigned(i, d.word(1).text);
      read.emplace(d.word(1).text, i);  // shown in the characteristics list
    }
    if ((r & kIf) && d.ifForm >= 3) {
      noteRead(i, d.truthWord(1).text, false);
      noteRead(i, d.truthWord(2).text, false);
    }
    if (r & (kAssign | kAddSub | kMulDiv)) {
      noteAssigned(i, d.word(0).text);
      noteRead(i, d.truthWord(1).text, false);
      if (r & (kAddSub | kMulDiv)) noteRead(i, d.truthWord(2).text, false);
    }
    if (r & kText) {
      decodePieces(runtimeRaw(l.text), pieces);
      for (const auto& p : pieces)
        if (p.isVariable) noteRead(i, p.word.text, true);
    }
  }

  // The "_..." tail of the name (after at least one character) that belongs to `suffixes`: its
  // position, or npos.
  auto suffixAt = [](const std::string& name, const std::unordered_set<std::string>& suffixes) {
    if (suffixes.empty()) return std::string::npos;
    for (auto p = name.find('_', 1); p != std::string::npos; p = name.find('_', p + 1))
      if (suffixes.count(name.substr(p))) return p;
    return std::string::npos;
  };
  auto endsWithAny = [&](const std::string& name, const std::unordered_set<std::string>& suffixes) {
    return suffixAt(name, suffixes) != std::string::npos;
  };
  std::vector<std::string_view> assignedNames;  // sorted, built on the first need
  int suggestions = 300;
  auto nearVariable = [&](const std::string& name) -> std::string {
    if (suggestions-- <= 0) return {};
    if (assignedNames.empty()) {
      for (const auto& [n, line] : assigned) assignedNames.emplace_back(n);
      std::sort(assignedNames.begin(), assignedNames.end());
    }
    const std::string_view near = nearestName(name, assignedNames);
    return near.empty() ? std::string() : concat(" Возможно, имелось в виду "_w, quoted(near), "."_w);
  };
  for (const auto& [where, name] : reads) {
    if (isSpecial(name) || assigned.count(name)) continue;
    const bool reference = where < 0;
    const ProgramLine& l = ctx.line(reference ? -where - 1 : where);
    if (const auto p = suffixAt(name, assignedSuffixes); p != std::string::npos) {
      // "<object>_открыт=1" gives the flag to the objects the player names: only a declared
      // object's flag can be set that way.
      const std::string object = name.substr(0, p);
      if (ctx.objects.count(object)) continue;
      if (suggestions-- <= 0) continue;
      // The flag of the nearest declared object, compared as whole names ("дери_открыт").
      std::vector<std::string> flags;
      for (const auto& o : ctx.objects) flags.push_back(concat(o, std::string_view(name).substr(p)));
      std::sort(flags.begin(), flags.end());
      const std::string near(nearestName(name, flags));
      ctx.report.at(l, Severity::Error,
                    concat("Переменная "_w, quoted(name), " нигде не получает значения: «"_w, name.substr(p),
                           "» задаётся только предметам через <object>, а предмета "_w, quoted(object),
                           " нет, так что здесь всегда 0."_w,
                           near.empty() ? concat(" Объявите «CREATE "_w, object, "» или исправьте имя."_w)
                                        : concat(" Возможно, имелось в виду "_w, quoted(near), "."_w)),
                    "never-assigned");
      continue;
    }
    ctx.report.at(l, Severity::Error,
                  concat(reference ? concat("Переменная "_w, quoted(name),
                                            " нигде не получает значения: игра покажет «Не найдена переменная». "
                                            "Присвойте её раньше ("_w,
                                            name, "=0) или исправьте имя."_w)
                                   : concat("Переменная "_w, quoted(name),
                                            " нигде не получает значения, здесь она всегда 0. Присвойте её раньше ("_w,
                                            name, "=0) или исправьте имя."_w),
                         nearVariable(name)),
                  "never-assigned");
  }
  for (const auto& [name, line] : assigned) {
    if (isSpecial(name) || read.count(name) || endsWithAny(name, readSuffixes)) continue;
    ctx.report.at(ctx.line(line), Severity::Warning,
                  concat("Переменной "_w, quoted(name),
                         " присваивается значение, но оно нигде не читается (ни в IF, ни в выражении, ни в «#"_w, name,
                         "»). Удалите присваивание или исправьте имя."_w),
                  "never-read");
  }
}

}  // namespace marvo::check
