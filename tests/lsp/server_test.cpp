// The language server's answers, driven message by message: the protocol's rules, diagnostics,
// navigation, rename and the outline, on Cyrillic text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/codec.h"
#include "lsp/server.h"
#include "lsp/stdio_loop.h"

namespace marvo::lsp {
namespace {

class Session {
 public:
  explicit Session(ServerOptions options = {})
      : server(std::move(options), [this](const std::string& body) { sent.push_back(json::parse(body)); }) {}

  void send(const json& message) { server.handleFrame(Frame{Frame::Body, message.dump()}); }
  json request(const std::string& method, json params) {
    sent.clear();
    send({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", method}, {"params", std::move(params)}});
    for (const json& m : sent)
      if (m.contains("id") && m["id"] == id) return m;
    return nullptr;
  }
  void notify(const std::string& method, json params) {
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }
  void start() { request("initialize", {{"capabilities", json::object()}}); }
  // Opens a document and returns the diagnostics published for it.
  json open(const std::string& uri, const std::string& text) {
    sent.clear();
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "marvo"}, {"version", 1}, {"text", text}}}});
    return diagnosticsFor(uri);
  }
  json diagnosticsFor(const std::string& uri) const {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
      if (it->value("method", "") == "textDocument/publishDiagnostics" && (*it)["params"]["uri"] == uri)
        return (*it)["params"]["diagnostics"];
    return nullptr;
  }
  json at(const std::string& method, const std::string& uri, int line, int character, json extra = json::object()) {
    extra["textDocument"] = {{"uri", uri}};
    extra["position"] = {{"line", line}, {"character", character}};
    return request(method, extra);
  }

  Server server;
  std::vector<json> sent;
  int id = 0;
};

const std::string kUri = "file:///nowhere/game.scn";

// A scenario with Cyrillic names, an object, a variable, a repeated label and nested IFs.
const std::string kScenario =
    "CREATE сундук\n"                     // 0
    "сундук_Расположение=двор\n"          // 1
    ":двор\n"                             // 2
    "!Вы во дворе. 😀 золото [#золото]\n"  // 3
    "золото=5\n"                          // 4
    "IF золото>3\n"                       // 5
    "IF сундук_Расположение=двор\n"       // 6
    "GOTO сарай\n"                        // 7
    "ENDIF\n"                             // 8
    "ENDIF\n"                             // 9
    "btn [В сарай] сарай\n"               // 10
    "READ\n"                              // 11
    ":сарай\n"                            // 12
    "золото=золото+1\n"                   // 13
    "READ\n"                              // 14
    ":двор\n";                            // 15

TEST(Server, ProtocolRulesAreKeptForEveryKindOfBadMessage) {
  Session s;
  // Before initialize: requests are refused, notifications dropped.
  EXPECT_EQ(s.request("textDocument/hover", json::object())["error"]["code"], -32002);
  s.sent.clear();
  s.server.handleFrame(Frame{Frame::Body, "{not json"});
  s.server.handleFrame(Frame{Frame::BadHeader, ""});
  s.server.handleFrame(Frame{Frame::Body, "[1,2]"});
  ASSERT_EQ(s.sent.size(), 3u);
  EXPECT_EQ(s.sent[0]["error"]["code"], -32700);
  EXPECT_EQ(s.sent[1]["error"]["code"], -32700);
  EXPECT_EQ(s.sent[2]["error"]["code"], -32600);
  s.start();
  EXPECT_EQ(s.request("initialize", json::object())["error"]["code"], -32600);
  EXPECT_EQ(s.request("workspace/nothing", json::object())["error"]["code"], -32601);
  // Wrongly typed parameters, an unknown document: errors, not a crash.
  EXPECT_EQ(s.request("textDocument/hover", {{"textDocument", 5}})["error"]["code"], -32602);
  EXPECT_EQ(s.at("textDocument/definition", "file:///x.scn", 0, 0)["error"]["code"], -32602);
  s.notify("textDocument/didChange", {{"textDocument", {{"uri", 7}}}});
  s.notify("textDocument/didOpen", {{"textDocument", {{"uri", kUri}}}});  // no text: ignored
  EXPECT_EQ(s.server.document(kUri), nullptr);
  // Positions outside the document are clamped.
  s.open(kUri, kScenario);
  EXPECT_TRUE(s.at("textDocument/hover", kUri, 9999, 9999).contains("result"));
  EXPECT_TRUE(s.at("textDocument/completion", kUri, -3, 1 << 30).contains("result"));
  // Shutdown, then only exit: the status tells the two apart.
  EXPECT_TRUE(s.request("shutdown", nullptr)["result"].is_null());
  EXPECT_EQ(s.request("textDocument/hover", json::object())["error"]["code"], -32600);
  s.notify("exit", nullptr);
  EXPECT_TRUE(s.server.exited());
  EXPECT_EQ(s.server.exitCode(), 0);
  Session abrupt;
  abrupt.notify("exit", nullptr);
  EXPECT_EQ(abrupt.server.exitCode(), 1);
}

TEST(Server, CancelledRequestsOfABatchAreAnsweredAsCancelled) {
  Session s;
  s.start();
  s.open(kUri, kScenario);
  s.sent.clear();
  std::vector<Frame> batch = {
      {Frame::Body, json{{"jsonrpc", "2.0"},
                         {"id", 50},
                         {"method", "textDocument/documentSymbol"},
                         {"params", {{"textDocument", {{"uri", kUri}}}}}}
                        .dump()},
      {Frame::Body, json{{"jsonrpc", "2.0"},
                         {"id", 51},
                         {"method", "textDocument/foldingRange"},
                         {"params", {{"textDocument", {{"uri", kUri}}}}}}
                        .dump()},
      {Frame::Body, json{{"jsonrpc", "2.0"}, {"method", "$/cancelRequest"}, {"params", {{"id", 50}}}}.dump()},
  };
  s.server.handleFrames(batch);
  ASSERT_EQ(s.sent.size(), 2u);
  EXPECT_EQ(s.sent[0]["id"], 50);
  EXPECT_EQ(s.sent[0]["error"]["code"], -32800);
  EXPECT_EQ(s.sent[1]["id"], 51);
  EXPECT_TRUE(s.sent[1]["result"].is_array());
}

TEST(Server, DiagnosticsComeFromTheCheckerWithTheFirstDefinitionAndFollowEditsAfterAPause) {
  ServerOptions slow;
  slow.diagnosticsDelay = std::chrono::milliseconds(1000);
  Session s(slow);
  s.start();
  const json list = s.open(kUri, kScenario);
  ASSERT_TRUE(list.is_array());
  const json* duplicate = nullptr;
  for (const json& d : list)
    if (d["code"] == "duplicate-label") duplicate = &d;
  ASSERT_NE(duplicate, nullptr) << list.dump();
  EXPECT_EQ((*duplicate)["range"]["start"]["line"], 15);
  EXPECT_EQ((*duplicate)["severity"], 1);
  const json& related = (*duplicate)["relatedInformation"][0];
  EXPECT_EQ(related["location"]["uri"], kUri);
  EXPECT_EQ(related["location"]["range"]["start"]["line"], 2);
  EXPECT_EQ(related["location"]["range"]["start"]["character"], 1);  // the name after ":"

  // Remove the repeated label (line 15 from its start to the end): nothing is published at once...
  s.sent.clear();
  s.notify("textDocument/didChange",
           {{"textDocument", {{"uri", kUri}, {"version", 2}}},
            {"contentChanges",
             {{{"range", {{"start", {{"line", 14}, {"character", 4}}}, {"end", {{"line", 15}, {"character", 5}}}}},
               {"text", ""}}}}});
  EXPECT_TRUE(s.sent.empty());
  ASSERT_TRUE(s.server.nextDue());
  // ...but once the pause is over.
  s.server.publishDue(*s.server.nextDue());
  const json after = s.diagnosticsFor(kUri);
  ASSERT_TRUE(after.is_array());
  for (const json& d : after) EXPECT_NE(d["code"], "duplicate-label");
  EXPECT_FALSE(s.server.nextDue());
  EXPECT_EQ(s.server.document(kUri)->text.lineCount(), 16);
  // A scenario saved as RTF is no scenario text here: one note says what to do.
  const json rtf = s.open("file:///nowhere/rtf.scn", "{\\rtf1\\ansi\\ansicpg1251 :loc1\\par GOTO x\\par}");
  ASSERT_EQ(rtf.size(), 1u);
  EXPECT_EQ(rtf[0]["code"], "rtf-file");
}

TEST(Server, NavigationFindsNamesByTheirUtf16Positions) {
  Session s;
  s.start();
  s.open(kUri, kScenario);
  // "GOTO сарай": definition at the label ":сарай".
  json def = s.at("textDocument/definition", kUri, 7, 7)["result"];
  EXPECT_EQ(def["range"]["start"], (json{{"line", 12}, {"character", 1}}));
  EXPECT_EQ(def["range"]["end"], (json{{"line", 12}, {"character", 6}}));
  // After the wide character of line 3 the columns differ by one: "#" is byte 24, UTF-16 25.
  const std::string line3 = s.server.document(kUri)->text.lines()[3];
  EXPECT_EQ(static_cast<int>(line3.find('#')), 24);
  def = s.at("textDocument/definition", kUri, 3, 27)["result"];
  EXPECT_EQ(def["range"]["start"]["line"], 4);
  json refs = s.at("textDocument/references", kUri, 4, 2, {{"context", {{"includeDeclaration", true}}}})["result"];
  std::set<std::pair<int, int>> places;
  for (const json& r : refs)
    places.insert({r["range"]["start"]["line"].get<int>(), r["range"]["start"]["character"].get<int>()});
  EXPECT_TRUE(places.count({3, 26})) << refs.dump();  // in the text line, after "#"
  EXPECT_TRUE(places.count({4, 0}));
  EXPECT_TRUE(places.count({5, 3}));
  EXPECT_TRUE(places.count({13, 7}));
  EXPECT_FALSE(places.count({3, 17})) << "the word золото in prose is no reference";
  EXPECT_EQ(places.size(), refs.size()) << "each place once";
  // An object named in a property line, the caret on the property part of the word.
  def = s.at("textDocument/definition", kUri, 6, 15)["result"];
  EXPECT_EQ(def["range"]["start"]["line"], 0);
  // Hover: the definition line for a name, the reference page for a keyword.
  const std::string hoverName = s.at("textDocument/hover", kUri, 7, 7)["result"]["contents"]["value"];
  EXPECT_NE(hoverName.find(":сарай"), std::string::npos);
  const std::string hoverKeyword = s.at("textDocument/hover", kUri, 11, 1)["result"]["contents"]["value"];
  EXPECT_NE(hoverKeyword.find("READ"), std::string::npos) << hoverKeyword;
  // On the property part of a property line: the property's hint, not the object.
  const json property = s.at("textDocument/hover", kUri, 1, 10)["result"];
  EXPECT_EQ(property["range"]["start"]["character"], 7);
  EXPECT_NE(property["contents"]["value"].get<std::string>().find("Расположение"), std::string::npos);
  EXPECT_TRUE(s.at("textDocument/hover", kUri, 3, 5)["result"].is_null()) << "prose has no keyword pages";
}

TEST(Server, CompletionOffersWhatFitsWhereTheCaretIs) {
  Session s;
  s.start();
  s.open(kUri, kScenario + "сундук_Ра\nGOTO са\nзол\n");
  auto labels = [&](int line, int character) {
    std::vector<std::string> out;
    const json r = s.at("textDocument/completion", kUri, line, character);
    EXPECT_TRUE(r.contains("result")) << r.dump();
    for (const json& i : r["result"]["items"]) out.push_back(i["label"]);
    return out;
  };
  EXPECT_EQ(labels(16, 9), (std::vector<std::string>{"Расположение", "Размер"}));
  const json item = s.at("textDocument/completion", kUri, 16, 9)["result"]["items"][0];
  EXPECT_EQ(item["textEdit"]["range"]["start"]["character"], 7);  // replaces what was typed after "_"
  EXPECT_FALSE(item["detail"].get<std::string>().empty());        // the property list's hint
  EXPECT_EQ(labels(17, 7), (std::vector<std::string>{"сарай"}));
  const auto words = labels(18, 3);
  EXPECT_NE(std::find(words.begin(), words.end(), "золото"), words.end());
  const auto keywords = labels(18, 0);
  EXPECT_NE(std::find(keywords.begin(), keywords.end(), "ENDIF"), keywords.end());
  // In a text line only variables, and only after "#".
  EXPECT_EQ(labels(3, 27), (std::vector<std::string>{"золото"}));
  EXPECT_TRUE(labels(3, 5).empty());
}

TEST(Server, RenameChangesEveryUseAndRefusesCollisionsAndNamesTheGeneratorsForbid) {
  Session s;
  s.start();
  s.open(kUri, kScenario);
  const json prepared = s.at("textDocument/prepareRename", kUri, 10, 16)["result"];
  EXPECT_EQ(prepared["placeholder"], "сарай");
  EXPECT_EQ(s.at("textDocument/prepareRename", kUri, 11, 1)["error"]["code"], kRequestFailed);  // READ

  const json edit = s.at("textDocument/rename", kUri, 12, 2, {{"newName", "амбар"}})["result"]["changes"][kUri];
  std::set<int> lines;
  for (const json& e : edit) {
    EXPECT_EQ(e["newText"], "амбар");
    lines.insert(e["range"]["start"]["line"].get<int>());
  }
  EXPECT_EQ(lines, (std::set<int>{7, 10, 12}));

  auto refused = [&](int line, int character, const std::string& name) {
    const json r = s.at("textDocument/rename", kUri, line, character, {{"newName", name}});
    return r.contains("error") ? r["error"]["message"].get<std::string>() : std::string();
  };
  EXPECT_NE(refused(12, 2, "двор"), "");      // another location has it
  EXPECT_NE(refused(12, 2, "readroom"), "");  // the map export breaks "read" in labels
  EXPECT_NE(refused(12, 2, "два слова"), "");
  EXPECT_NE(refused(0, 8, "doorway"), "");  // "doorway_Маска=..." would become a choice
  EXPECT_NE(refused(4, 1, "gift"), "");     // lines holding "if"
  EXPECT_NE(refused(4, 1, "rnd"), "");
  EXPECT_NE(refused(0, 8, "ящик😀"), "");  // no such character in Windows-1251
  EXPECT_EQ(refused(0, 8, "ящик"), "");
}

TEST(Server, OutlineAndFoldingFollowLocationsAndIfBlocks) {
  Session s;
  s.start();
  s.open(kUri, kScenario);
  const json symbols = s.request("textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}})["result"];
  ASSERT_EQ(symbols.size(), 4u) << symbols.dump();
  EXPECT_EQ(symbols[0]["name"], "сундук");
  EXPECT_EQ(symbols[1]["name"], "двор");
  EXPECT_EQ(symbols[1]["range"]["end"]["line"], 11);
  EXPECT_EQ(symbols[2]["name"], "сарай");
  const json folds = s.request("textDocument/foldingRange", {{"textDocument", {{"uri", kUri}}}})["result"];
  std::set<std::pair<int, int>> ranges;
  for (const json& f : folds) ranges.insert({f["startLine"].get<int>(), f["endLine"].get<int>()});
  EXPECT_EQ(ranges, (std::set<std::pair<int, int>>{{2, 11}, {5, 8}, {6, 7}, {12, 14}}));
}

TEST(Server, TheLibraryBesideTheScenarioIsReadAsGameStartReadsIt) {
  const auto dir = std::filesystem::temp_directory_path() / ("marvo_lsp_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "marvo.lib") << utf8ToCp1251(":библиотека\nREAD\n");
  Session s;
  s.start();
  const std::string uri = uriOfPath(dir / "game.scn");
  s.open(uri, "GOTO библиотека\n:common\nRETURN\n");
  const json def = s.at("textDocument/definition", uri, 0, 7)["result"];
  EXPECT_EQ(def["uri"], uriOfPath(dir / "marvo.lib"));
  // A library symbol is not renamed from the scenario.
  EXPECT_TRUE(s.at("textDocument/rename", uri, 0, 7, {{"newName", "книги"}}).contains("error"));
  // The library opened in the editor (its URI spelled with other escapes): its text there counts.
  const std::string libraryUri = "file://" + dir.string() + "/marvo%2Elib";
  s.open(libraryUri, "READ\n:библиотека\nREAD\n");
  const json moved = s.at("textDocument/definition", uri, 0, 7)["result"];
  EXPECT_EQ(moved["uri"], libraryUri);
  EXPECT_EQ(moved["range"]["start"]["line"], 1);
  std::filesystem::remove_all(dir);
  EXPECT_EQ(pathOfUri(uriOfPath("/tmp/с пробелом/a.scn")), "/tmp/с пробелом/a.scn");

  // No library beside the scenario: the installed one, or the one given instead of it.
  const std::filesystem::path games = std::filesystem::path(MARVO_SOURCE_DIR) / "games";
  for (bool given : {false, true}) {
    ServerOptions options;
    (given ? options.library : options.installedGames) = given ? games / "marvo.lib" : games;
    Session installed(options);
    installed.start();
    installed.open(kUri, "RETURN\n");
    const auto& lines = installed.server.document(kUri)->library->lines;
    EXPECT_FALSE(lines.empty()) << given;
  }
}

TEST(Server, ADocumentTooLargeToAnalyseIsKeptInStepAndAnalysedOnceItShrinks) {
  ServerOptions small;
  small.maxAnalysedLines = 12;
  Session s(small);
  s.start();
  const json tooLarge = s.open(kUri, kScenario);  // 17 lines
  ASSERT_EQ(tooLarge.size(), 1u);
  EXPECT_EQ(tooLarge[0]["code"], "too-large");
  EXPECT_TRUE(s.at("textDocument/definition", kUri, 7, 7)["result"].is_null());
  EXPECT_TRUE(s.request("textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}})["result"].empty());
  // Lines 11 to the end removed: 11 lines are left, and the index is built for them.
  s.notify("textDocument/didChange",
           {{"textDocument", {{"uri", kUri}, {"version", 2}}},
            {"contentChanges",
             {{{"range", {{"start", {{"line", 10}, {"character", 0}}}, {"end", {{"line", 16}, {"character", 0}}}}},
               {"text", ""}}}}});
  s.server.publishDue(*s.server.nextDue());
  for (const json& d : s.diagnosticsFor(kUri)) EXPECT_NE(d["code"], "too-large");
  EXPECT_EQ(s.at("textDocument/definition", kUri, 4, 1)["result"]["range"]["start"]["line"], 4);
}

TEST(Server, ServeEndsAtTheEndOfInputAndWhenTheClientIsGone) {
  int in[2], out[2];
  ASSERT_EQ(::pipe(in), 0);
  ASSERT_EQ(::pipe(out), 0);
  const std::string input = frameMessage(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                            frameMessage(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                            frameMessage(R"({"jsonrpc":"2.0","method":"exit"})");
  ASSERT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  ::close(in[1]);
  EXPECT_EQ(serve(in[0], out[1], {}), 0);
  ::close(in[0]);
  ::close(out[1]);
  std::string reply(4096, '\0');
  const ssize_t n = ::read(out[0], reply.data(), reply.size());
  ::close(out[0]);
  EXPECT_NE(std::string(reply.data(), static_cast<std::size_t>(std::max<ssize_t>(n, 0))).find("\"id\":2"),
            std::string::npos);

  // The output closed by the client, the input ended without exit: status 1, no signal.
  ASSERT_EQ(::pipe(in), 0);
  ASSERT_EQ(::pipe(out), 0);
  ::close(out[0]);
  const std::string first = frameMessage(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  ASSERT_EQ(::write(in[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
  ::close(in[1]);
  EXPECT_EQ(serve(in[0], out[1], {}), 1);
  ::close(in[0]);
  ::close(out[1]);
}

// Points the spelling check at a dictionary folder for one test.
class DictionaryFolder {
 public:
  explicit DictionaryFolder(const std::filesystem::path& folder) { ::setenv("MARVO_HUNSPELL_DIR", folder.c_str(), 1); }
  ~DictionaryFolder() { ::unsetenv("MARVO_HUNSPELL_DIR"); }
};

std::vector<json> spellingOf(const json& list) {
  std::vector<json> out;
  for (const json& d : list)
    if (d["code"] == "spelling") out.push_back(d);
  return out;
}

TEST(Server, UnknownWordsOfTheProseAreWarningsWithCorrectionsAsCodeActions) {
  DictionaryFolder dictionaries(MARVO_SOURCE_DIR "/tests/editor/data/spelling");
  const auto folder = std::filesystem::temp_directory_path() / ("marvo-lsp-spelling-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string uri = uriOfPath(folder / "game.scn");
  ServerOptions options;
  options.diagnosticsDelay = std::chrono::milliseconds(0);
  Session s(options);
  s.start();
  // Prose only; the column counts UTF-16 units (the emoji takes two).
  const json list = s.open(uri, "!Старый мяак стоит\ngoto мяак\n:мяак\n!😀 сундку\nREAD\n");
  const auto words = spellingOf(list);
  ASSERT_EQ(words.size(), 2u) << list.dump();
  EXPECT_EQ(words[0]["range"]["start"], json({{"line", 0}, {"character", 8}}));
  EXPECT_EQ(words[0]["range"]["end"], json({{"line", 0}, {"character", 12}}));
  EXPECT_EQ(words[0]["severity"], 2);
  EXPECT_EQ(words[0]["source"], "marvo");
  EXPECT_EQ(words[0]["message"], "Неизвестное слово «мяак»: исправьте его или добавьте в словарь игры game.dic");
  EXPECT_EQ(words[1]["range"]["start"], json({{"line", 3}, {"character", 4}}));

  const json actions = s.request("textDocument/codeAction", {{"textDocument", {{"uri", uri}}},
                                                             {"range", words[1]["range"]},
                                                             {"context", {{"diagnostics", {words[1]}}}}})["result"];
  ASSERT_FALSE(actions.empty()) << actions.dump();
  EXPECT_EQ(actions[0]["title"], "Заменить на сундук");
  EXPECT_EQ(actions[0]["kind"], "quickfix");
  EXPECT_EQ(actions[0]["edit"]["changes"][uri][0], json({{"range", words[1]["range"]}, {"newText", "сундук"}}));

  // Edits: the warnings follow line by line.
  s.notify("textDocument/didChange",
           {{"textDocument", {{"uri", uri}, {"version", 2}}},
            {"contentChanges",
             {{{"range", {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}}},
               {"text", "!ключь\n"}}}}});
  s.server.publishDue(Clock::now() + std::chrono::seconds(1));
  const auto edited = spellingOf(s.diagnosticsFor(uri));
  ASSERT_EQ(edited.size(), 3u);
  EXPECT_EQ(edited[0]["range"]["start"]["line"], 0);
  EXPECT_EQ(edited[1]["range"]["start"]["line"], 1);
  EXPECT_EQ(edited[2]["range"]["start"]["line"], 4);

  // A word added to the game's dictionary elsewhere counts after the next save.
  std::ofstream(folder / "game.dic") << "мяак\n";
  s.sent.clear();
  s.notify("textDocument/didSave", {{"textDocument", {{"uri", uri}}}});
  s.server.publishDue(Clock::now() + std::chrono::seconds(1));
  ASSERT_EQ(spellingOf(s.diagnosticsFor(uri)).size(), 2u);

  // Turned off in the settings: gone at the next publication; the checker's findings stay.
  s.notify("workspace/didChangeConfiguration", {{"settings", {{"marvo", {{"spelling", false}}}}}});
  s.server.publishDue(Clock::now() + std::chrono::seconds(1));
  EXPECT_TRUE(spellingOf(s.diagnosticsFor(uri)).empty());
  std::filesystem::remove_all(folder);

  // Off from the start through the initialization options.
  Session off(options);
  off.request("initialize", {{"capabilities", json::object()}, {"initializationOptions", {{"spelling", false}}}});
  EXPECT_TRUE(spellingOf(off.open(kUri, "!мяак\n")).empty());
}

TEST(Server, WithoutADictionaryNoSpellingWarningsAndTheRestAsBefore) {
  const auto empty = std::filesystem::temp_directory_path() / ("marvo-lsp-nodic-" + std::to_string(::getpid()));
  std::filesystem::create_directories(empty);
  DictionaryFolder dictionaries(empty);
  Session s;
  s.start();
  const json list = s.open(kUri, "!мяак\nGOTO нигде\nREAD\n");
  EXPECT_TRUE(spellingOf(list).empty());
  EXPECT_FALSE(list.empty());  // the missing label is still reported
  std::filesystem::remove_all(empty);
}

}  // namespace
}  // namespace marvo::lsp
