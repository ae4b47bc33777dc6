// Keyword case normalisation and the "@" continuation of menu lines.
#include "keywords.h"

#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo::editor {

using namespace marvo::literals;

namespace {
// A lower-case word in capitals (Latin and Russian letters).
std::string capitals(std::string_view word) {
  std::string out(word);
  for (auto& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || b >= 0xE0)
      c = static_cast<char>(b - 32);
    else if (b == 0xB8)
      c = static_cast<char>(0xA8);  // ё
  }
  return out;
}
}  // namespace

const std::array<std::string_view, kKeywordCount>& keywordTable() {
  // The Russian aliases of the engine's keywords come from its table (engine/keyword_aliases.h).
  static const std::string talk = capitals(alias::kTalk.russian), ifWord = capitals(alias::kIf.russian),
                           endif = capitals(alias::kEndif.russian), redo = capitals(alias::kRedo.russian),
                           read = capitals(alias::kRead.russian), go = capitals(alias::kGoto.russian),
                           examine = capitals(alias::kExamine.russian);
  static const std::array<std::string_view, kKeywordCount> table = {
      talk,         "ИНВ"_w,   "ВЗЯТЬ"_w, "БРОСИТЬ"_w, ifWord,      endif,    redo,         read,       go,
      "IF"_w,       "ENDIF"_w, "TALK"_w,  "REDO"_w,    "RETURN"_w,  "GOTO"_w, "GOTOS"_w,    "JUMP"_w,   "JUMPS"_w,
      "BTN"_w,      "BTNS"_w,  "INV"_w,   "DROP"_w,    "TAKE"_w,    "VIP"_w,  "PUSHLOC"_w,  "POPLOC"_w, "CLS"_w,
      "CLEAR"_w,    "KILL"_w,  "PAUSE"_w, "READ"_w,    ":common"_w, "TIME"_w, "DO"_w,       "RND"_w,    "PUSHINDEX"_w,
      "POPINDEX"_w, "CALL"_w,  "RET"_w,   "CREATE"_w,  "EXAMINE"_w, examine,  "LOCATION"_w,
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
