// The language server: the JSON-RPC exchange, document synchronisation and diagnostics.
#include "server.h"

#include <algorithm>

#include "checker/checker.h"
#include "engine/codec.h"
#include "engine/text.h"
#include "game/installed_data.h"
#include "game/scenario_file.h"

namespace marvo::lsp {

using namespace marvo::literals;

namespace {

// JSON-RPC and protocol error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;
constexpr int kRequestCancelled = -32800;

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string idKey(const json& id) { return id.is_null() ? std::string() : dump(id); }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Do two paths name the same file? Empty paths name none.
bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

}  // namespace

std::filesystem::path pathOfUri(const std::string& uri) {
  constexpr std::string_view scheme = "file://";
  if (!std::string_view(uri).starts_with(scheme)) return {};
  std::string path;
  for (std::size_t i = scheme.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 && hexValue(uri[i + 2]) >= 0) {
      path += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  if (!path.starts_with("/")) return {};  // "file://host/..." is not a local file
  return path;
}

std::string uriOfPath(const std::filesystem::path& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path.string()) {
    if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

Server::Server(ServerOptions options, Send send) : options_(std::move(options)), send_(std::move(send)) {}

const OpenDocument* Server::document(const std::string& uri) const {
  const auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : it->second.get();
}

void Server::reply(const json& id, json result) {
  send_(dump(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}));
}

void Server::replyError(const json& id, int code, const std::string& message) {
  send_(dump(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}));
}

void Server::notify(const std::string& method, json params) {
  send_(dump(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}));
}

void Server::handleFrames(std::vector<Frame>& frames) {
  std::vector<json> messages(frames.size());
  std::set<std::string> cancelled;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].kind != Frame::Body) continue;
    messages[i] = json::parse(frames[i].body, nullptr, false);
    const json& m = messages[i];
    if (m.is_object() && m.value("method", json()) == "$/cancelRequest" && m.contains("params") &&
        m["params"].is_object() && m["params"].contains("id"))
      cancelled.insert(idKey(m["params"]["id"]));
  }
  for (std::size_t i = 0; i < frames.size() && !exited_; ++i) {
    if (frames[i].kind == Frame::BadHeader) {
      replyError(nullptr, kParseError, "bad message header: no valid Content-Length");
      continue;
    }
    if (messages[i].is_discarded()) {
      replyError(nullptr, kParseError, "the message is not valid JSON");
      continue;
    }
    handleMessage(messages[i], cancelled);
  }
}

void Server::handleMessage(const json& message, const std::set<std::string>& cancelled) {
  if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
    // A reply to a request of ours (there are none) is dropped; anything else is no request.
    if (message.is_object() && message.contains("id") && (message.contains("result") || message.contains("error")))
      return;
    const json id = message.is_object() && message.contains("id") ? message["id"] : json();
    replyError(id.is_string() || id.is_number_integer() ? id : json(), kInvalidRequest,
               "not a JSON-RPC request or notification");
    return;
  }
  const std::string method = message["method"];
  const json params = message.contains("params") ? message["params"] : json::object();
  const bool isRequest = message.contains("id");
  if (!isRequest) {
    if (method == "exit") {
      exited_ = true;
      return;
    }
    if (!initialized_) return;  // notifications before initialize are dropped
    try {
      dispatchNotification(method, params);
    } catch (const std::exception&) {
      // A malformed notification has no one to answer; it changes nothing.
    }
    return;
  }
  const json& id = message["id"];
  if (!id.is_string() && !id.is_number_integer()) {
    replyError(nullptr, kInvalidRequest, "a request id must be a number or a string");
    return;
  }
  if (cancelled.count(idKey(id))) {
    replyError(id, kRequestCancelled, "cancelled");
    return;
  }
  if (method == "initialize") {
    if (initialized_) return replyError(id, kInvalidRequest, "initialize was already sent");
    try {
      reply(id, initialize(params));
    } catch (const std::exception& e) {
      replyError(id, kInvalidParams, e.what());
    }
    return;
  }
  if (!initialized_) return replyError(id, kServerNotInitialized, "the server is not initialized");
  if (shutdown_) return replyError(id, kInvalidRequest, "the server is shut down");
  if (method == "shutdown") {
    shutdown_ = true;
    return reply(id, nullptr);
  }
  try {
    reply(id, dispatchRequest(method, params));
  } catch (const RequestError& e) {
    replyError(id, e.code, e.message);
  } catch (const json::exception& e) {
    replyError(id, kInvalidParams, e.what());
  } catch (const std::exception& e) {
    replyError(id, kInternalError, e.what());
  }
}

json Server::dispatchRequest(const std::string& method, const json& params) {
  if (!params.is_object()) throw RequestError{kInvalidParams, "params must be an object"};
  if (method == "textDocument/completion") return completion(params);
  if (method == "textDocument/hover") return hover(params);
  if (method == "textDocument/definition") return definition(params);
  if (method == "textDocument/references") return references(params);
  if (method == "textDocument/prepareRename") return prepareRename(params);
  if (method == "textDocument/rename") return rename(params);
  if (method == "textDocument/documentSymbol") return documentSymbols(params);
  if (method == "textDocument/foldingRange") return foldingRanges(params);
  if (method == "textDocument/codeAction") return codeActions(params);
  throw RequestError{kMethodNotFound, "unknown method: " + method};
}

void Server::dispatchNotification(const std::string& method, const json& params) {
  if (method == "textDocument/didOpen") return didOpen(params);
  if (method == "textDocument/didChange") return didChange(params);
  if (method == "textDocument/didClose") return didClose(params);
  if (method == "textDocument/didSave") return didSave(params);
  if (method == "workspace/didChangeConfiguration") return didChangeConfiguration(params);
  // "initialized", "$/..." and anything unknown need nothing.
}

json Server::initialize(const json& params) {
  if (!params.is_object()) throw RequestError{kInvalidParams, "params must be an object"};
  if (params.contains("initializationOptions") && params["initializationOptions"].is_object()) {
    const json& o = params["initializationOptions"];
    if (o.contains("library") && o["library"].is_string()) libraryOverride_ = o["library"].get<std::string>();
    if (o.contains("spelling") && o["spelling"].is_boolean()) spellingOn_ = o["spelling"].get<bool>();
  }
  if (spellingOn_ && options_.loadDictionariesInBackground) startLoadingDictionaries();
  initialized_ = true;
  return {
      {"capabilities",
       {
           {"positionEncoding", "utf-16"},
           {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
           {"completionProvider", {{"triggerCharacters", {"_", "#", "]"}}, {"resolveProvider", false}}},
           {"hoverProvider", true},
           {"definitionProvider", true},
           {"referencesProvider", true},
           {"renameProvider", {{"prepareProvider", true}}},
           {"documentSymbolProvider", true},
           {"foldingRangeProvider", true},
           {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
       }},
      {"serverInfo", {{"name", "marvo-cli lsp"}}},
  };
}

std::shared_ptr<const Library> Server::libraryFor(const std::filesystem::path& scenario) {
  // As game start reads it: the library beside the scenario, else the installed one.
  std::filesystem::path path = libraryOverride_;
  std::error_code ec;
  if (path.empty()) {
    // As a game started from the desktop finds it: beside the scenario, else the installed one.
    path = planDesktopStart({}, scenario, {}, options_.library.empty() ? options_.installedGames : "").libraryFallback;
    if (path.empty()) path = options_.library;
  }
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return std::make_shared<Library>();
  auto& cached = libraries_[path];
  const auto stamp = std::filesystem::last_write_time(path, ec);
  const std::string uri = uriOfPath(std::filesystem::absolute(path, ec));
  for (const auto& [openUri, open] : documents_) {
    if (!samePath(open->path, path)) continue;
    // The library is open in the editor: its text there is the one that counts.
    auto lib = std::make_shared<Library>();
    lib->path = path;
    lib->uri = openUri;
    lib->lines = open->text.lines();
    return lib;
  }
  if (!cached || cached->stamp != stamp) {
    auto lib = std::make_shared<Library>();
    lib->path = path;
    lib->uri = uri;
    lib->stamp = stamp;
    ScenarioRead read = readScenarioFile(path);
    if (read.error.empty()) lib->lines = std::move(read.lines);
    cached = std::move(lib);
  }
  return cached;
}

void Server::reindex(OpenDocument& doc) {
  doc.library = libraryFor(doc.path);
  doc.analysed = doc.text.lineCount() <= options_.maxAnalysedLines && doc.text.bytes() <= options_.maxAnalysedBytes;
  doc.index = SymbolIndex();
  if (doc.analysed) doc.index.build(doc.text.lines(), doc.library->lines);
}

void Server::didOpen(const json& params) {
  const json& item = params.at("textDocument");
  const std::string uri = item.at("uri");
  auto doc = std::make_unique<OpenDocument>();
  doc->uri = uri;
  doc->path = pathOfUri(uri);
  doc->text.setText(item.at("text").get_ref<const std::string&>());
  doc->text.version = item.value("version", 0);
  OpenDocument& d = *doc;
  documents_[uri] = std::move(doc);
  // A library opened in the editor: the scenarios that use it are read again with its text.
  for (auto& [otherUri, other] : documents_)
    if (other.get() != &d && other->library && samePath(other->library->path, d.path)) {
      reindex(*other);
      scheduleDiagnostics(*other);
    }
  reindex(d);
  publishDiagnostics(d);
}

void Server::didChange(const json& params) {
  const json& item = params.at("textDocument");
  const auto it = documents_.find(item.at("uri").get<std::string>());
  if (it == documents_.end()) return;
  OpenDocument& doc = *it->second;
  if (item.contains("version") && item["version"].is_number_integer()) doc.text.version = item["version"];
  for (const json& change : params.at("contentChanges")) {
    const std::string& text = change.at("text").get_ref<const std::string&>();
    if (!change.contains("range")) {
      doc.text.setText(text);
      reindex(doc);
      if (doc.spelling) doc.spelling->invalidate();
      continue;
    }
    const json& r = change["range"];
    const Place from = doc.text.place(r.at("start").at("line"), r.at("start").at("character"));
    const Place to = doc.text.place(r.at("end").at("line"), r.at("end").at("character"));
    const bool wasAnalysed = doc.analysed;
    const LineEdit edit = doc.text.replace(from, to, text);
    const bool analyse =
        doc.text.lineCount() <= options_.maxAnalysedLines && doc.text.bytes() <= options_.maxAnalysedBytes;
    if (!wasAnalysed || !analyse || edit.removed + edit.inserted > 4000) {
      reindex(doc);
      if (doc.spelling) doc.spelling->invalidate();
      continue;
    }
    // The index follows line by line: the lines replaced one for one, then those removed or added.
    const auto& lines = doc.text.lines();
    const int common = std::min(edit.removed, edit.inserted);
    for (int i = 0; i < common; ++i)
      doc.index.replaceLine(SymbolIndex::Source::Scenario, edit.first + i, lines[edit.first + i]);
    for (int i = common; i < edit.removed; ++i)
      doc.index.removeLine(SymbolIndex::Source::Scenario, edit.first + common);
    for (int i = common; i < edit.inserted; ++i)
      doc.index.insertLine(SymbolIndex::Source::Scenario, edit.first + i, lines[edit.first + i]);
    // The spelling warnings follow the same way.
    if (doc.spelling) {
      for (int i = 0; i < common; ++i) doc.spelling->replaceLine(edit.first + i, lines[edit.first + i]);
      for (int i = common; i < edit.removed; ++i) doc.spelling->removeLine(edit.first + common);
      for (int i = common; i < edit.inserted; ++i) doc.spelling->insertLine(edit.first + i, lines[edit.first + i]);
    }
  }
  scheduleDiagnostics(doc);
  // Scenarios that read this document as their library follow it.
  for (auto& [otherUri, other] : documents_)
    if (other.get() != &doc && other->library && samePath(other->library->path, doc.path)) {
      reindex(*other);
      scheduleDiagnostics(*other);
    }
}

void Server::didClose(const json& params) {
  const std::string uri = params.at("textDocument").at("uri");
  if (documents_.erase(uri)) notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
}

void Server::didSave(const json& params) {
  const auto it = documents_.find(params.at("textDocument").at("uri").get<std::string>());
  if (it == documents_.end()) return;
  // A word may have been added to the game's or the user's dictionary meanwhile.
  if (it->second->spelling) {
    it->second->spelling->reload();
    scheduleDiagnostics(*it->second);
  }
  // The library may have changed on disk since the document was opened.
  const auto library = libraryFor(it->second->path);
  if (library != it->second->library) {
    reindex(*it->second);
    publishDiagnostics(*it->second);
  }
}

void Server::scheduleDiagnostics(OpenDocument& doc) { doc.diagnosticsDue = Clock::now() + options_.diagnosticsDelay; }

std::optional<Clock::time_point> Server::nextDue() const {
  std::optional<Clock::time_point> due;
  for (const auto& [uri, doc] : documents_)
    if (doc->diagnosticsDue && (!due || *doc->diagnosticsDue < *due)) due = doc->diagnosticsDue;
  return due;
}

void Server::publishDue(Clock::time_point now) {
  for (auto& [uri, doc] : documents_)
    if (doc->diagnosticsDue && *doc->diagnosticsDue <= now) publishDiagnostics(*doc);
}

const std::vector<std::string>& Server::textOf(const OpenDocument& doc, LineOrigin::Source source) const {
  return source == LineOrigin::Library ? doc.library->lines : doc.text.lines();
}

std::string Server::uriOf(const OpenDocument& doc, LineOrigin::Source source) const {
  return source == LineOrigin::Library ? doc.library->uri : doc.uri;
}

json Server::range(const OpenDocument& doc, LineOrigin::Source source, int line, int start, int end) const {
  int from = start, to = end;
  if (source != LineOrigin::Library) {
    from = doc.text.utf16Column(line, start);
    to = doc.text.utf16Column(line, end);
  }
  // Library lines are Windows-1251 from the file: a byte is a UTF-16 code unit.
  return {{"start", {{"line", line}, {"character", from}}}, {"end", {{"line", line}, {"character", to}}}};
}

json Server::lineRange(const OpenDocument& doc, LineOrigin::Source source, int line) const {
  const auto& text = textOf(doc, source);
  if (line < 0 || line >= static_cast<int>(text.size())) return range(doc, source, std::max(line, 0), 0, 0);
  const std::string& l = text[static_cast<std::size_t>(line)];
  int start = 0, end = static_cast<int>(l.size());
  while (start < end && static_cast<unsigned char>(l[static_cast<std::size_t>(start)]) <= 32) ++start;
  while (end > start && static_cast<unsigned char>(l[static_cast<std::size_t>(end - 1)]) <= 32) --end;
  if (start == end) start = end = 0;
  return range(doc, source, line, start, end);
}

void Server::publishDiagnostics(OpenDocument& doc) {
  doc.diagnosticsDue.reset();
  json list = json::array();
  if (doc.path.filename() == kLibraryFileName) {
    // The library alone is no game: its problems are found through the scenarios that use it.
    notify("textDocument/publishDiagnostics", {{"uri", doc.uri}, {"version", doc.text.version}, {"diagnostics", list}});
    return;
  }
  if (!doc.analysed) {
    list.push_back(
        {{"range", lineRange(doc, LineOrigin::Scenario, 0)},
         {"severity", 2},
         {"source", "marvo"},
         {"code", "too-large"},
         {"message",
          cp1251ToUtf8(
              concat("Документ слишком велик для проверки ("_w, std::to_string(doc.text.lineCount()), " строк, "_w,
                     std::to_string(doc.text.bytes() >> 20), " МБ): проверка, переходы и подсказки работают до "_w,
                     std::to_string(options_.maxAnalysedLines), " строк и "_w,
                     std::to_string(options_.maxAnalysedBytes >> 20), " МБ. Разделите текст или уберите лишнее."_w))}});
    notify("textDocument/publishDiagnostics", {{"uri", doc.uri}, {"version", doc.text.version}, {"diagnostics", list}});
    return;
  }
  if (trimView(doc.text.lines().front()).starts_with("{\\rtf")) {
    // An RTF scenario shows as markup here: its lines are not the scenario's lines.
    list.push_back(
        {{"range", lineRange(doc, LineOrigin::Scenario, 0)},
         {"severity", 2},
         {"source", "marvo"},
         {"code", "rtf-file"},
         {"message", cp1251ToUtf8("Сценарий сохранён как RTF: здесь видна разметка, а не строки сценария, и "
                                  "проверки нет. Откройте его в Marvo IF и сохраните как «plain text scenary "
                                  "(*.scn *.txt)»."_w)}});
    notify("textDocument/publishDiagnostics", {{"uri", doc.uri}, {"version", doc.text.version}, {"diagnostics", list}});
    return;
  }
  check::CheckInput input;
  input.scenario = doc.text.lines();
  input.library = doc.library->lines;
  if (!doc.library->path.empty()) input.libraryName = doc.library->path.filename().string();
  const auto problems = check::checkScenario(input);
  json libraryList = json::array();
  for (const auto& p : problems) {
    const auto source = p.source == check::Source::Library ? LineOrigin::Library : LineOrigin::Scenario;
    const int line = p.line - 1;
    json d = {{"range", lineRange(doc, source, line)},
              {"severity", p.severity == check::Severity::Error ? 1 : 2},
              {"source", "marvo"},
              {"code", p.rule},
              {"message", cp1251ToUtf8(p.text)}};
    // A name defined twice: the first definition, the one that counts, is shown beside it.
    if (p.rule == "duplicate-label" || p.rule == "duplicate-create") {
      const SymbolKind kind = p.rule == "duplicate-label" ? SymbolKind::Location : SymbolKind::Object;
      for (const Symbol& s : doc.index.symbolsOn(source, line)) {
        if (s.kind != kind || s.role != SymbolRole::Definition) continue;
        const auto first = doc.index.definition(kind, s.name);
        if (first && !(first->source == s.source && first->line == s.line)) {
          d["relatedInformation"] = json::array(
              {{{"location", location(doc, *first)}, {"message", cp1251ToUtf8("Впервые определено здесь"_w)}}});
          break;
        }
      }
    }
    (source == LineOrigin::Library ? libraryList : list).push_back(std::move(d));
  }
  addSpellingDiagnostics(doc, list);
  notify("textDocument/publishDiagnostics", {{"uri", doc.uri}, {"version", doc.text.version}, {"diagnostics", list}});
  // Problems of the library go to the library file, also when it is not open.
  if (!doc.library->uri.empty() && (!libraryList.empty() || libraryDiagnosticUris_.count(doc.library->uri))) {
    notify("textDocument/publishDiagnostics", {{"uri", doc.library->uri}, {"diagnostics", libraryList}});
    if (libraryList.empty())
      libraryDiagnosticUris_.erase(doc.library->uri);
    else
      libraryDiagnosticUris_.insert(doc.library->uri);
  }
}

OpenDocument& Server::documentOf(const json& params) {
  const std::string uri = params.at("textDocument").at("uri");
  const auto it = documents_.find(uri);
  if (it == documents_.end()) throw RequestError{kInvalidParams, "the document is not open: " + uri};
  return *it->second;
}

}  // namespace marvo::lsp
