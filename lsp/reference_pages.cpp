// Summaries of the reference pages: the title and the first paragraph of prose.
#include "reference_pages.h"

namespace marvo::lsp {

PageSummary pageSummary(std::string_view file) {
  PageSummary out;
  std::string_view text = referenceMarkdown(file);
  bool inFence = false;
  std::string paragraph;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with("```")) {
      inFence = !inFence;
      if (!paragraph.empty()) break;
      continue;
    }
    if (inFence) continue;
    if (line.starts_with("# ") && out.title.empty()) {
      out.title = std::string(line.substr(2));
      continue;
    }
    const bool blank = line.find_first_not_of(" \t\r") == std::string_view::npos;
    if (line.starts_with("#") || line.starts_with("|") || line.starts_with("- ") || blank) {
      if (!paragraph.empty()) break;
      continue;
    }
    if (!paragraph.empty()) paragraph += ' ';
    paragraph += line;
  }
  out.summary = std::move(paragraph);
  return out;
}

}  // namespace marvo::lsp
