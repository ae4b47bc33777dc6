// The walkthrough reader: one directive per line, tests split at "*" lines.
#include "walk_file.h"

#include <charconv>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo::walk {

namespace {

constexpr long long kMaxClockTicks = 1'000'000;  // per command, about eleven days of game time

// Whole UTF-8 sequences only; no NUL.
bool validUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0) return false;
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

bool parseInt(std::string_view text, long long& out) {
  text = trimView(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  const auto* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && ptr == end;
}

class Reader {
 public:
  explicit Reader(WalkFile& file) : f_(file) {}

  void line(int n, std::string_view raw) {
    if (raw.size() > kMaxLineBytes) return error(n, "строка длиннее " + std::to_string(kMaxLineBytes) + " байт");
    if (!validUtf8(raw)) return error(n, "строка не в кодировке UTF-8 (или содержит нулевой байт)");
    const std::string_view t = trimView(raw);
    if (t.empty() || t[0] == '#') return;
    if (t[0] == '*') return startTest(n, std::string(trimView(t.substr(1))));
    if (f_.tests.empty()) startTest(n, {});
    const std::string_view rest = t.substr(1);
    switch (t[0]) {
      case '>':
        return command(n, rest);
      case '!':
        return text(n, Expectation::Kind::Lacks, rest, t);
      case '/':
        return regex(n, t);
      case '?':
        return check(n, trimView(rest), t);
      case '+':
        return clock(n, trimView(rest), t);
      case '\\':
        return text(n, Expectation::Kind::Contains, rest, t);
      default:
        return text(n, Expectation::Kind::Contains, t, t);
    }
  }

 private:
  WalkTest& test() { return f_.tests.back(); }
  Step& step() { return test().steps.back(); }

  void error(int n, std::string text) {
    if (f_.tests.empty()) startTest(n, {});
    test().errors.push_back({n, std::move(text)});
  }

  void startTest(int n, std::string title) {
    WalkTest t;
    t.line = n;
    Step start;
    start.isStart = true;
    start.line = n;
    start.insertAfter = title.empty() ? n - 1 : n;
    t.title = std::move(title);
    t.steps.push_back(std::move(start));
    f_.tests.push_back(std::move(t));
    pendingClock_ = 0;
  }

  void command(int n, std::string_view rest) {
    if (rest.starts_with(' ')) rest.remove_prefix(1);
    Step s;
    s.command = utf8ToCp1251(rest);
    s.line = n;
    s.insertAfter = n;
    s.clockTicks = pendingClock_;
    pendingClock_ = 0;
    test().steps.push_back(std::move(s));
  }

  Expectation& add(int n, Expectation::Kind kind, std::string_view text, std::string_view source) {
    Expectation e;
    e.kind = kind;
    e.line = n;
    e.text = utf8ToCp1251(trimView(text));
    e.source = std::string(source);
    step().expectations.push_back(std::move(e));
    return step().expectations.back();
  }

  void text(int n, Expectation::Kind kind, std::string_view text, std::string_view source) {
    if (trimView(text).empty()) return error(n, "пустой текст после «" + std::string(source.substr(0, 1)) + "»");
    add(n, kind, text, source);
  }

  void regex(int n, std::string_view t) {
    if (t.size() < 2 || t.back() != '/') return error(n, "регулярное выражение должно заканчиваться знаком «/»");
    const std::string_view pattern = t.substr(1, t.size() - 2);
    if (pattern.size() > kMaxRegexBytes)
      return error(n, "регулярное выражение длиннее " + std::to_string(kMaxRegexBytes) + " байт");
    try {
      auto compiled = std::make_shared<const std::regex>(utf8ToCp1251(pattern), std::regex::ECMAScript);
      add(n, Expectation::Kind::Matches, pattern, t).regex = std::move(compiled);
    } catch (const std::exception& e) {
      error(n, std::string("регулярное выражение не компилируется: ") + e.what());
    }
  }

  void check(int n, std::string_view rest, std::string_view source) {
    using K = Expectation::Kind;
    struct Key {
      std::string_view name;
      K kind;
    };
    static constexpr Key keys[] = {{"inventory:", K::Inventory},
                                   {"characteristics:", K::Characteristic},
                                   {"location:", K::Location},
                                   {"message:", K::Message}};
    for (const auto& key : keys) {
      if (!rest.starts_with(key.name)) continue;
      const std::string_view value = rest.substr(key.name.size());
      if (trimView(value).empty()) return error(n, "нет значения после «? " + std::string(key.name) + "»");
      add(n, key.kind, value, source);
      return;
    }
    if (rest.starts_with("var ")) {
      const std::string_view body = rest.substr(4);
      const auto eq = body.find('=');
      long long value = 0;
      if (eq == std::string_view::npos || trimView(body.substr(0, eq)).empty() ||
          !parseInt(body.substr(eq + 1), value) || value < INT32_MIN || value > INT32_MAX)
        return error(n, "ожидается «? var ИМЯ = ЧИСЛО»");
      auto& e = add(n, K::Variable, body.substr(0, eq), source);
      e.text = lower(e.text);
      e.value = static_cast<std::int32_t>(value);
      return;
    }
    error(n, "неизвестная проверка «" + std::string(source.substr(0, 40)) + "»");
  }

  void clock(int n, std::string_view rest, std::string_view source) {
    long long ticks = 0;
    if (!rest.starts_with("clock ") || !parseInt(rest.substr(6), ticks))
      return error(n, "неизвестная директива «" + std::string(source.substr(0, 40)) + "»");
    if (ticks < 0 || ticks > kMaxClockTicks - pendingClock_)
      return error(n, "тиков перед командой должно быть от 0 до " + std::to_string(kMaxClockTicks));
    pendingClock_ += ticks;
  }

  WalkFile& f_;
  long long pendingClock_ = 0;
};

}  // namespace

WalkFile parseWalkFile(std::string_view utf8, std::string path) {
  WalkFile f;
  f.path = std::move(path);
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  f.lines = splitLines(utf8, /*stopAtNul=*/false);
  Reader reader(f);
  for (std::size_t i = 0; i < f.lines.size(); ++i) reader.line(static_cast<int>(i + 1), f.lines[i]);
  return f;
}

WalkFile readWalkFile(const std::filesystem::path& path) {
  auto read = readWholeFile(path);
  if (!read.error.empty()) {
    WalkFile f;
    f.path = path.string();
    f.errors.push_back({0, read.error});
    return f;
  }
  return parseWalkFile(read.bytes, path.string());
}

std::string expectedTextLine(std::string_view cp1251) {
  std::string text = cp1251ToUtf8(trimView(cp1251));
  if (!text.empty() && std::string_view("#*>!/?+\\").find(text[0]) != std::string_view::npos) text.insert(0, "\\");
  return text;
}

std::string where(const WalkFile& file, int line) {
  return line > 0 ? file.path + ":" + std::to_string(line) : file.path;
}

}  // namespace marvo::walk
