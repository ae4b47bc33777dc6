// marvo-cli lsp: the language server over standard input and output.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli_commands.h"
#include "game/installed_data.h"
#include "lsp/stdio_loop.h"
#include "marvo_version.h"

namespace marvo::cli {

namespace {
constexpr const char* kLspUsage = "usage: marvo-cli lsp [--library FILE] [--diagnostics-delay MS]\n";
}

int lsp(const Args& args) {
  lsp::ServerOptions options;
  std::filesystem::path library;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--stdio") continue;  // what editors pass to ask for standard input and output
    if ((a == "--library" || a == "--diagnostics-delay") && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (a == "--library") {
        library = value;
      } else {
        try {
          const int ms = std::stoi(value);
          if (ms < 0) throw std::out_of_range(value);
          options.diagnosticsDelay = std::chrono::milliseconds(ms);
        } catch (const std::exception&) {
          std::fputs(kLspUsage, stderr);
          return 2;
        }
      }
      continue;
    }
    std::fputs(kLspUsage, stderr);
    return 2;
  }
  // The installed library, where the program's sample games lie; --library takes the place of it.
  std::error_code ec;
  const auto programDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  if (!library.empty()) options.library = std::filesystem::absolute(library, ec);
  if (!programDir.empty()) options.installedGames = (programDir / MARVO_GAMES_FROM_BINDIR).lexically_normal();
  return lsp::serve(STDIN_FILENO, STDOUT_FILENO, std::move(options));
}

}  // namespace marvo::cli
