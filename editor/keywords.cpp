// Keyword case normalisation and the "@" continuation of menu lines.
#include "keywords.h"

#include "engine/text.h"

namespace marvo::editor {

using namespace marvo::literals;

const std::array<std::string_view, kKeywordCount>& keywordTable() {
  static constexpr std::array<std::string_view, kKeywordCount> table = {
      "ПАРС"_w,  "ИНВ"_w,    "ВЗЯТЬ"_w,  "БРОСИТЬ"_w, "ЕСЛИ"_w,      "КОНЕЦ"_w,    "ВВЕРХ"_w,
      "ЖДАТЬ"_w, "ИДТИ"_w,   "IF"_w,     "ENDIF"_w,   "TALK"_w,      "REDO"_w,     "RETURN"_w,
      "GOTO"_w,  "GOTOS"_w,  "JUMP"_w,   "JUMPS"_w,   "BTN"_w,       "BTNS"_w,     "INV"_w,
      "DROP"_w,  "TAKE"_w,   "VIP"_w,    "PUSHLOC"_w, "POPLOC"_w,    "CLS"_w,      "CLEAR"_w,
      "KILL"_w,  "PAUSE"_w,  "READ"_w,   ":common"_w, "TIME"_w,      "DO"_w,       "RND"_w,
      "PUSHINDEX"_w, "POPINDEX"_w, "CALL"_w, "RET"_w, "CREATE"_w,   "EXAMINE"_w,  "ИЗУЧИТЬ"_w,
      "LOCATION"_w,
  };
  return table;
}

const std::array<std::string, kKeywordCount>& lowerKeywordTable() {
  static const std::array<std::string, kKeywordCount> table = [] {
    std::array<std::string, kKeywordCount> lowered;
    for (std::size_t i = 0; i < kKeywordCount; ++i) lowered[i] = lower(keywordTable()[i]);
    return lowered;
  }();
  return table;
}

std::string normaliseKeywords(std::string_view line) {
  // Every keyword is looked up in the line as it was before any rewrite; since only letter case
  // changes, positions found in it stay valid for the rewritten text.
  const std::string lowered = lower(line);
  std::string result(line);
  const auto& canonical = keywordTable();
  const auto& keys = lowerKeywordTable();
  for (std::size_t i = 0; i < kKeywordCount; ++i) {
    const auto at = lowered.find(keys[i]);
    if (at != std::string::npos) result.replace(at, canonical[i].size(), canonical[i]);
  }
  return result;
}

AtContinuation atContinuationAfter(std::string_view previousLine) {
  const std::string_view trimmed = trimView(previousLine);
  if (trimmed == "@") return AtContinuation::EndRun;
  if (trimmed.size() > 1 && trimmed.front() == '@') return AtContinuation::OfferAt;
  return AtContinuation::None;
}

}  // namespace marvo::editor
