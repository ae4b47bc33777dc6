// Fuzz target: the language server's input, bytes as they come from a client (the first byte
// chooses the size of the pieces they arrive in), framed by the message reader and handled by the
// server. Every message the server sends must be valid JSON.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "lsp/message_reader.h"
#include "lsp/server.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvo::lsp;
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 97;
  ++data;
  --size;
  MessageReader reader;
  ServerOptions options;
  options.diagnosticsDelay = std::chrono::milliseconds(0);
  Server server(options, [](const std::string& body) {
    if (json::parse(body, nullptr, false).is_discarded()) std::abort();
  });
  for (std::size_t i = 0; i < size && !server.exited(); i += piece) {
    reader.feed(std::string_view(reinterpret_cast<const char*>(data) + i, std::min(piece, size - i)));
    std::vector<Frame> frames;
    while (auto frame = reader.next()) frames.push_back(std::move(*frame));
    server.handleFrames(frames);
    server.publishDue(Clock::time_point::max());
  }
  return 0;
}
