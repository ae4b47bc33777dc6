// Which reference page explains a word: keywords are recognised by their first letters, as the
// engine recognises them, so "GOTOS", "goto" and "ИДТИ" lead to the same page.
#include "reference_topics.h"

#include <array>
#include <utility>

#include "engine/decode.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo {

const std::vector<ReferencePage>& referencePages() {
  static const std::vector<ReferencePage> pages = {
      {"README.md", "Содержание"},
      {"tutorial.md", "Учебник"},
      {"game-start.md", "Правила запуска игры"},
      {"traps.md", "Ловушки"},
      {"check.md", "Проверка сценария"},
      {"locations.md", "Метки и локации"},
      {"output.md", "Текстовые строки и строки меню"},
      {"buttons.md", "btn, do, call и ret"},
      {"goto.md", "GOTO и JUMP"},
      {"if.md", "IF и ENDIF"},
      {"talk.md", "TALK, REDO и образцы"},
      {"read.md", "READ и знак %"},
      {"cls.md", "CLS"},
      {"oneshot.md", "Одноразовые строки"},
      {"objects.md", "CREATE и свойства предметов"},
      {"examine.md", "SHOWITEM и EXAMINE"},
      {"vip.md", "VIP: характеристики"},
      {"variables.md", "Переменные и выражения"},
      {"rnd_time_step.md", "rnd, time и step"},
      {"common.md", ":common и RETURN"},
      {"library.md", "Библиотека marvo.lib"},
      {"messages.md", "Сообщения движка"},
      {"formats.md", "Форматы файлов"},
      {"cli.md", "marvo-cli"},
      {"editor.md", "Редактор кода"},
      {"spelling.md", "Проверка орфографии"},
      {"editors.md", "Редакторы"},
      {"story-map.md", "Карта сюжета"},
      {"undo.md", "Отмена хода и дерево прохождений"},
  };
  return pages;
}

namespace {

enum class Match { Prefix, Anywhere, Exact };

struct Keyword {
  std::string_view text;  // lower-case Windows-1251
  Match match;
  std::string_view page;
};

// Tested in order; the first that fits the lower-cased word wins.
const std::array<Keyword, 36>& keywords() {
  static const std::array<Keyword, 36> table = {{
      {"showitem"_w, Match::Prefix, "examine.md"},
      {alias::kExamine.stem, Match::Anywhere, "examine.md"},
      {alias::kExamine.russianStem, Match::Anywhere, "examine.md"},
      {"_расположение"_w, Match::Anywhere, "objects.md"},
      {"_дескриптор"_w, Match::Anywhere, "objects.md"},
      {"_маска"_w, Match::Anywhere, "objects.md"},
      {"_синоним"_w, Match::Anywhere, "objects.md"},
      {"_содержание"_w, Match::Anywhere, "objects.md"},
      {"_описание"_w, Match::Anywhere, "objects.md"},
      {"crea"_w, Match::Prefix, "objects.md"},
      {"retu"_w, Match::Prefix, "common.md"},
      {"common"_w, Match::Exact, "common.md"},
      {alias::kRedo.stem, Match::Prefix, "talk.md"},
      {alias::kRedo.russianStem, Match::Prefix, "talk.md"},
      {alias::kTalk.stem, Match::Prefix, "talk.md"},
      {alias::kTalk.russianStem, Match::Prefix, "talk.md"},
      {"empo"_w, Match::Prefix, "talk.md"},
      {"object"_w, Match::Exact, "talk.md"},
      {"push"_w, Match::Prefix, "goto.md"},
      {"pop"_w, Match::Prefix, "goto.md"},
      {alias::kGoto.stem, Match::Prefix, "goto.md"},
      {alias::kGoto.russianStem, Match::Prefix, "goto.md"},
      {"jump"_w, Match::Prefix, "goto.md"},
      {alias::kEndif.stem, Match::Anywhere, "if.md"},
      {alias::kEndif.russianStem, Match::Prefix, "if.md"},
      {"location"_w, Match::Anywhere, "if.md"},
      {"vip"_w, Match::Exact, "vip.md"},
      {alias::kRead.stem, Match::Prefix, "read.md"},
      {alias::kRead.russianStem, Match::Prefix, "read.md"},
      {"clea"_w, Match::Prefix, "variables.md"},
      {"cls"_w, Match::Exact, "cls.md"},
      {"btn"_w, Match::Anywhere, "buttons.md"},
      {"call"_w, Match::Prefix, "buttons.md"},
      {"ret"_w, Match::Exact, "buttons.md"},
      {"do"_w, Match::Exact, "buttons.md"},
      {"rnd"_w, Match::Exact, "rnd_time_step.md"},
  }};
  return table;
}

bool fits(std::string_view word, const Keyword& k) {
  switch (k.match) {
    case Match::Prefix:
      return word.starts_with(k.text);
    case Match::Anywhere:
      return contains(word, k.text);
    case Match::Exact:
      return word == k.text;
  }
  return false;
}

bool isWordChar(char c) { return static_cast<unsigned char>(c) > 32 && kDelimiters.find(c) == std::string_view::npos; }

// Fragments of the engine's and the program's messages: a line quoting one is about that message.
constexpr std::array<std::string_view, 8> kMessageFragments = {
    "Нет метки для перехода"_w, "Не найдена комманда"_w, "Не найден Endif"_w,
    "Не найдена переменная"_w,  "переполнен"_w,          "объявлен повторно"_w,
    "Переполнение сценария"_w,  "Сценарий зациклился"_w,
};

}  // namespace

std::string readablePage(std::string_view markdown) {
  std::string out;
  out.reserve(markdown.size() + 256);
  while (!markdown.empty()) {
    const std::size_t end = markdown.find('\n');
    std::string_view line = markdown.substr(0, end);
    markdown.remove_prefix(end == std::string_view::npos ? markdown.size() : end + 1);
    const std::string_view bare = line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
    if (bare == "```scn") {
      out += "*Сценарий:*\n\n```\n";
    } else if (bare == "```walk") {
      out += "*Что выведет игра* (`> ` - ввод игрока, `!` - такого текста нет, `?` - проверка):\n\n```\n";
    } else {
      out.append(line);
      out += '\n';
    }
  }
  return out;
}

std::string_view propertyHint(std::string_view name) {
  static const std::array<std::pair<std::string_view, std::string_view>, 15> hints = {{
      {"расположение"_w, "Где предмет: локация, inv (инвентарь) или имя контейнера; location - текущая локация."},
      {"описание"_w, "Текст, который выводит EXAMINE (глагол библиотеки «осмотреть»)."},
      {"маска"_w, "Слово (лучше основа слова), по которому игрок называет предмет."},
      {"синоним"_w, "Второе слово, по которому игрок называет предмет."},
      {"дескриптор"_w, "Упоминание предмета при выводе локации: вместо % или отдельной строкой."},
      {"непереносимый"_w, "Флаг: 1 - библиотека не даёт взять предмет."},
      {"недоступен"_w, "Флаг: 1 - предмет нельзя взять или положить в контейнер."},
      {"надет"_w, "Флаг для одежды; движок и библиотека его не проверяют."},
      {"открываемый"_w, "Флаг: 1 - предмет открывают и закрывают глаголы библиотеки."},
      {"открыт"_w, "Флаг: 1 - открыт; содержимое открываемого предмета видно, только когда он открыт."},
      {"невидимый"_w, "Флаг: 1 - предмет не упоминается в локации; не 0 - его нет в списке SHOWITEM."},
      {"содержание"_w, "Заголовок списка содержимого контейнера (SHOWITEM)."},
      {"количество"_w, "Обычная переменная предмета; движок её не проверяет."},
      {"вес"_w, "Обычная переменная предмета; движок её не проверяет."},
      {"размер"_w, "Обычная переменная предмета; движок её не проверяет."},
  }};
  const std::string key = lower(name);
  for (const auto& [property, hint] : hints) {
    if (key == property) return hint;
  }
  return {};
}

std::string referencePage(std::string_view word) {
  const std::string w = lower(word);
  if (w == "time" || w == "step") return "rnd_time_step.md";
  if (alias::kIf.occurs(w)) return "if.md";
  for (const auto& k : keywords()) {
    if (fits(w, k)) return std::string(k.page);
  }
  return {};
}

std::string referencePageFor(std::string_view line, int column) {
  for (auto fragment : kMessageFragments) {
    if (contains(line, fragment)) return "messages.md";
  }
  const std::string_view trimmed = trimView(line);
  if (trimmed.starts_with('^')) return "oneshot.md";
  if (trimmed.starts_with('!') || trimmed.starts_with('@')) return "output.md";
  // The word under the caret, or the one just before it when the caret stands at a word's end.
  std::size_t at = std::min(static_cast<std::size_t>(column < 0 ? 0 : column), line.size());
  if ((at == line.size() || !isWordChar(line[at])) && at > 0 && isWordChar(line[at - 1])) --at;
  if (at < line.size() && isWordChar(line[at])) {
    std::size_t begin = at, end = at;
    while (begin > 0 && isWordChar(line[begin - 1])) --begin;
    while (end < line.size() && isWordChar(line[end])) ++end;
    std::string_view word = line.substr(begin, end - begin);
    if (word.starts_with(':')) word.remove_prefix(1);
    if (std::string page = referencePage(word); !page.empty()) return page;
  }
  if (trimmed.starts_with(':')) return "locations.md";
  if (contains(trimmed, "="_w)) return "variables.md";
  return "README.md";
}

}  // namespace marvo
