// The language server built without the spelling check (the fuzzing build): no spelling warnings.
#include "spelling_diagnostics.h"

namespace marvo::lsp {

void startLoadingDictionaries() {}

void finishLoadingDictionaries() {}

std::optional<std::unique_ptr<DocumentSpelling>> makeDocumentSpelling(const std::filesystem::path&) {
  return std::unique_ptr<DocumentSpelling>();
}

}  // namespace marvo::lsp
