// The language server: JSON-RPC messages of the Language Server Protocol in, replies and
// notifications out, over the documents the client has open. Each document keeps its
// Windows-1251 lines and a symbol index updated line by line; diagnostics come from the checker
// after a pause in typing.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "document.h"
#include "game/symbol_index.h"
#include "message_reader.h"
#include "names.h"
#include "spelling_diagnostics.h"

namespace marvo::lsp {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// A request that fails with a protocol error code and a message for the user.
struct RequestError {
  int code;
  std::string message;
};
inline constexpr int kRequestFailed = -32803;

struct ServerOptions {
  // The installed sample games' folder, with the library read when the scenario's folder has no
  // "marvo.lib"; `library`, when given, is read instead of that one.
  std::filesystem::path installedGames;
  std::filesystem::path library;
  // The pause in typing after which diagnostics are published.
  std::chrono::milliseconds diagnosticsDelay{100};
  // Larger documents are kept in step but not analysed.
  std::size_t maxAnalysedBytes = 32u << 20;
  int maxAnalysedLines = 200000;
  // The spelling dictionaries are loaded on a thread of their own from initialize on, and the
  // spelling warnings follow the other diagnostics once they are there (marvo-cli lsp). Without
  // it they are loaded with the first diagnostics.
  bool loadDictionariesInBackground = false;
};

// A library text as game start reads it, shared by the documents that use it.
struct Library {
  std::filesystem::path path;  // empty: none
  std::string uri;
  std::vector<std::string> lines;
  std::filesystem::file_time_type stamp{};
};

struct OpenDocument {
  std::string uri;
  std::filesystem::path path;  // empty for a document that is no file
  TextDocument text;
  SymbolIndex index;
  std::shared_ptr<const Library> library;
  bool analysed = true;  // false while the document is too large to analyse
  // The spelling check, made with the first diagnostics; null without a dictionary.
  std::unique_ptr<DocumentSpelling> spelling;
  bool spellingMade = false;
  std::optional<Clock::time_point> diagnosticsDue;
};

class Server {
 public:
  using Send = std::function<void(const std::string& body)>;

  Server(ServerOptions options, Send send);

  // Handles the frames read at one time, in order. A "$/cancelRequest" among them cancels a request
  // of the same batch that is not handled yet: it is answered with RequestCancelled.
  void handleFrames(std::vector<Frame>& frames);
  void handleFrame(const Frame& frame) {
    std::vector<Frame> one{frame};
    handleFrames(one);
  }

  // When diagnostics are next due (a pause in typing ends), if any are pending.
  std::optional<Clock::time_point> nextDue() const;
  // Publishes the diagnostics due at `now`.
  void publishDue(Clock::time_point now);

  // After "exit": the process ends with exitCode().
  bool exited() const { return exited_; }
  int exitCode() const { return shutdown_ ? 0 : 1; }

  // For tests: the open document, or nullptr.
  const OpenDocument* document(const std::string& uri) const;

 private:
  void handleMessage(const json& message, const std::set<std::string>& cancelled);
  void reply(const json& id, json result);
  void replyError(const json& id, int code, const std::string& message);
  void notify(const std::string& method, json params);

  json dispatchRequest(const std::string& method, const json& params);
  void dispatchNotification(const std::string& method, const json& params);

  json initialize(const json& params);
  void didOpen(const json& params);
  void didChange(const json& params);
  void didClose(const json& params);
  void didSave(const json& params);

  json completion(const json& params);
  json hover(const json& params);
  json definition(const json& params);
  json references(const json& params);
  json prepareRename(const json& params);
  json rename(const json& params);
  json documentSymbols(const json& params);
  json foldingRanges(const json& params);
  json codeActions(const json& params);
  void didChangeConfiguration(const json& params);
  // Unknown words of the document's prose as warnings with the code "spelling".
  void addSpellingDiagnostics(OpenDocument& doc, json& list);

  OpenDocument& documentOf(const json& params);
  std::shared_ptr<const Library> libraryFor(const std::filesystem::path& scenario);
  void reindex(OpenDocument& doc);
  void publishDiagnostics(OpenDocument& doc);
  void scheduleDiagnostics(OpenDocument& doc);

  // Protocol positions and ranges of a document or the library.
  json range(const OpenDocument& doc, LineOrigin::Source source, int line, int start, int end) const;
  json lineRange(const OpenDocument& doc, LineOrigin::Source source, int line) const;
  json location(const OpenDocument& doc, const Symbol& symbol) const;
  const std::vector<std::string>& textOf(const OpenDocument& doc, LineOrigin::Source source) const;
  std::string uriOf(const OpenDocument& doc, LineOrigin::Source source) const;

  // The location, object or variable whose name stands at a place of the document.
  struct Found {
    Symbol symbol;
    Span span;
  };
  std::optional<Found> symbolAt(const OpenDocument& doc, Place place) const;
  // symbolAt for a rename: without a name there, the request fails with a message saying so.
  Found renameableAt(const OpenDocument& doc, Place place) const;
  std::vector<json> spansOf(const OpenDocument& doc, const Symbol& symbol) const;

  ServerOptions options_;
  Send send_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  std::filesystem::path libraryOverride_;
  // The spelling warnings: on unless the client turns them off ("spelling": false in the
  // initialization options or in the settings' "marvo" section).
  bool spellingOn_ = true;
  std::map<std::string, std::unique_ptr<OpenDocument>> documents_;
  std::map<std::filesystem::path, std::shared_ptr<Library>> libraries_;
  std::set<std::string> libraryDiagnosticUris_;  // library files given diagnostics last time
};

// The file path of a "file://" URI (percent escapes decoded), or empty.
std::filesystem::path pathOfUri(const std::string& uri);
// The "file://" URI of an absolute path.
std::string uriOfPath(const std::filesystem::path& path);

}  // namespace marvo::lsp
