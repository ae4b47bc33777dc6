// The reference pages (docs/*.md, UTF-8 Markdown) built into the language server, and their summaries.
#pragma once

#include <string>
#include <string_view>

namespace marvo::lsp {

// The Markdown of a page by its file name ("goto.md"), or "" when there is none.
std::string_view referenceMarkdown(std::string_view file);

// The page's title (its first "# " heading) and its first paragraph of prose, as Markdown.
struct PageSummary {
  std::string title;
  std::string summary;
};
PageSummary pageSummary(std::string_view file);

}  // namespace marvo::lsp
