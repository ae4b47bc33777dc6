// Runs the language server over two file descriptors: messages are read on a thread of their own,
// so that a cancellation read while a request waits is honoured and diagnostics are published when
// a pause in typing ends.
#pragma once

#include "server.h"

namespace marvo::lsp {

// Serves until "exit" or the end of the input (or a write that fails: the client is gone).
// Returns the exit status: 0 after "shutdown" then "exit", 1 otherwise.
int serve(int in, int out, ServerOptions options);

}  // namespace marvo::lsp
