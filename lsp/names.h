// Names in scenario lines as the language server reads them: the shared rules of game/rename_rules.
#pragma once

#include "game/rename_rules.h"

namespace marvo::lsp {

using names::isNameChar;
using names::nameProblem;
using names::nameSpans;
using names::Span;
using names::wordAt;

}  // namespace marvo::lsp
