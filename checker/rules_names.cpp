// Names in values and conditions that nothing declares (a place no label or object has, a location
// in IF LOCATION), and command words of the library that take a declared object's name.
#include <algorithm>
#include <unordered_map>

#include "context.h"
#include "engine/text.h"
#include "game/talk_matcher.h"

namespace marvo::check {

using namespace literals;

namespace {

bool hasAnyObject(std::string_view s) { return s.find(kAnyObject) != std::string_view::npos; }

// The places an object can be given: every location, every object (a container), and the words
// two or more location lines give ("нигде").
std::vector<std::string_view> placeNames(const Context& ctx) {
  std::vector<std::string_view> out;
  out.reserve(ctx.labels.size() + ctx.objects.size());
  for (const auto& [label, line] : ctx.labels)
    if (label != ":common") out.push_back(std::string_view(label).substr(1));
  for (const auto& o : ctx.objects) out.emplace_back(o);
  std::unordered_map<std::string_view, int> given;
  for (const ProgramLine& l : ctx.program.lines)
    if ((l.rows & kProperty) && l.d.property == Property::Location && ++given[l.d.word(1).text] == 2)
      out.push_back(l.d.word(1).text);
  std::sort(out.begin(), out.end());  // the same suggestion on every run
  return out;
}

// The talk alternatives of the library's own talk lines that do not name "<object>": their words.
struct LibraryWords {
  int line = 0;  // program line of the talk line
  std::string text;
  std::vector<std::string> words;
};

}  // namespace

void checkNames(Context& ctx) {
  std::vector<std::string_view> places;  // built on the first need
  int suggestions = 300;                 // a text full of unknown places asks no more than this
  auto placeOrNear = [&](std::string_view value) -> std::string_view {
    if (value.empty() || value == "inv" || value == "location" || hasAnyObject(value)) return {};
    if (ctx.labels.count(concat(":", value)) || ctx.objects.count(std::string(value))) return {};
    if (suggestions-- <= 0) return {};
    if (places.empty()) places = placeNames(ctx);
    return nearestName(value, places);
  };
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    const DecodedLine& d = l.d;
    if (l.made != Made::Copy) continue;
    if ((l.rows & kProperty) && d.property == Property::Location && !(l.rows & kText)) {
      const std::string& value = d.word(1).text;
      if (auto near = placeOrNear(value); !near.empty())
        ctx.report.at(l, Severity::Error,
                      concat("Место "_w, quoted(value),
                             " — не локация и не предмет: предмет окажется нигде. Возможно, имелось в виду "_w,
                             quoted(near), "."_w),
                      "unknown-place");
      continue;
    }
    if (!(l.rows & kIf)) continue;
    const std::string& value = d.truthWord(2).text;
    if (d.ifForm == 2 && !value.starts_with("enabl")) {
      if (auto near = placeOrNear(value); !near.empty())
        ctx.report.at(l, Severity::Error,
                      concat("Место "_w, quoted(value), " — не локация и не предмет: условие "_w, quoted(l.text),
                             " не выполнится никогда. Возможно, имелось в виду "_w, quoted(near), "."_w),
                      "unknown-place");
    } else if (d.ifForm == 1 && !value.empty() && !hasAnyObject(value) && !ctx.labels.count(concat(":", value))) {
      if (places.empty()) places = placeNames(ctx);
      std::vector<std::string_view> locations;
      for (const auto& [label, line] : ctx.labels) locations.push_back(std::string_view(label).substr(1));
      std::sort(locations.begin(), locations.end());
      const std::string_view near = nearestName(value, locations);
      ctx.report.at(l, Severity::Error,
                    concat("Локации "_w, quoted(value), " нет: условие "_w, quoted(l.text), " не выполнится никогда."_w,
                           near.empty() ? concat(" Добавьте метку «:"_w, value, "» или исправьте имя."_w)
                                        : concat(" Возможно, имелось в виду "_w, quoted(near), "."_w)),
                    "unknown-place");
    }
  }

  // A command word of the library that lies inside an object's name, mask or synonym takes an
  // input naming the object without a verb while the object is not at hand ("очки" when the
  // glasses are elsewhere answers with the score).
  if (!ctx.symbols.librarySpliced()) return;
  std::vector<LibraryWords> library;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.source != Source::Library || l.made != Made::Copy || !(l.rows & kTalk)) continue;
    const std::string pattern = talkPattern(l.text);
    bool seen = false;
    for (const auto& lw : library) seen = seen || lw.text == pattern;
    if (seen) continue;  // another copy of the library
    for (auto alt : splitRuns(pattern, '/', 20)) {
      LibraryWords w{i, std::string(alt), {}};
      for (auto word : splitRuns(alt, ' ', 10)) w.words.emplace_back(word);
      if (w.words.empty() || std::find(w.words.begin(), w.words.end(), "<object>") != w.words.end()) continue;
      library.push_back(std::move(w));
    }
  }
  if (library.empty()) return;
  // What the player calls each scenario object by: its name, masks and synonyms.
  std::unordered_map<std::string, std::vector<std::string>> calls;
  std::unordered_map<std::string, int> createdAt;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.source != Source::Scenario) continue;
    if ((l.rows & kCreate) && createdAt.emplace(l.d.word(1).text, i).second)
      calls[l.d.word(1).text].push_back(l.d.word(1).text);
    if ((l.rows & kProperty) && (l.d.property == Property::Mask || l.d.property == Property::Synonym)) {
      const std::string& w0 = l.d.word(0).text;
      const std::size_t k = kPropertySuffixLength[static_cast<int>(l.d.property)];
      if (w0.size() > k && !l.d.word(1).text.empty()) calls[w0.substr(0, w0.size() - k)].push_back(l.d.word(1).text);
    }
  }
  for (const auto& [object, at] : createdAt) {
    for (const auto& call : calls[object]) {
      const LibraryWords* hit = nullptr;
      for (const auto& lw : library) {
        bool all = true;
        for (const auto& w : lw.words) all = all && call.find(w) != std::string::npos;
        if (all) {
          hit = &lw;
          break;
        }
      }
      if (!hit) continue;
      const ProgramLine& talk = ctx.line(hit->line);
      ctx.report.at(ctx.line(at), Severity::Error,
                    concat("Команду с именем предмета "_w, quoted(call), " перехватит команда библиотеки "_w,
                           quoted(hit->text), " (строка "_w, std::to_string(talk.origin + 1), " библиотеки "_w,
                           ctx.input.libraryName, "): когда предмета нет под рукой, ввод «"_w, call,
                           "» без глагола выполнит её. Назовите предмет иначе или задайте ему маску без "_w,
                           quoted(hit->text), "."_w),
                    "library-word-over-object");
      break;
    }
  }
}

}  // namespace marvo::check
