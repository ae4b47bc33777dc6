// Publishing a game folder: the files written, the title, the refusal of a non-empty folder and
// the search for the player files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/files_test_util.h"
#include "game/scenario_file.h"
#include "web/publish.h"

using namespace marvo;
using namespace marvo::testing;
namespace fs = std::filesystem;

namespace {

// A folder with stand-ins for the built player files.
struct Player {
  TempDir dir;
  Player() {
    writeBytes(dir / "index.html", "<title>@TITLE@</title><h1>@TITLE@</h1>");
    writeBytes(dir / "marvo.js", "// js");
    writeBytes(dir / "marvo.wasm", std::string("\0asm", 4));
  }
};

web::PublishRequest request(const Player& player, const fs::path& folder) {
  web::PublishRequest r;
  r.scenario = cp1251Lines({":начало", "!Привет, мир.", ""});
  r.library = cp1251Lines({"TALK помощь", "!Справка.", "REDO"});
  r.title = cp("Дом <и> \"сад\" & двор");
  r.playerFiles = player.dir.path();
  r.folder = folder;
  return r;
}

}  // namespace

TEST(Publish, WritesThePageTheEngineAndTheGameTexts) {
  Player player;
  TempDir out;
  const auto r = request(player, out / "game");
  const auto result = web::publishGame(r);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(readBytes(out / "game/index.html"),
            "<title>Дом &lt;и&gt; &quot;сад&quot; &amp; двор</title><h1>Дом &lt;и&gt; &quot;сад&quot; &amp; двор</h1>");
  EXPECT_EQ(readBytes(out / "game/marvo.wasm"), std::string("\0asm", 4));
  EXPECT_EQ(readBytes(out / "game/game.scn"), cp(":начало\r\n!Привет, мир.\r\n\r\n"));
  // The page reads them back as a scenario file is read: the same lines, the empty last one too.
  EXPECT_EQ(parseScenarioText(readBytes(out / "game/game.scn")), r.scenario);
  EXPECT_EQ(parseScenarioText(readBytes(out / "game/marvo.lib")), r.library);
  EXPECT_EQ(readBytes(out / "game/favicon.svg").substr(0, 5), "<?xml");
  EXPECT_NE(readBytes(out / "game/favicon.svg").find("</svg>"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(out / "game"), fs::directory_iterator()), 6);
}

// Without a title the page takes the words of the first comment or text line that has any.
TEST(Publish, TheTitleComesFromTheScenarioWhenNoneIsGiven) {
  const auto title = [](std::initializer_list<std::string_view> lines) {
    return web::defaultTitle(cp1251Lines(lines));
  };
  EXPECT_EQ(title({"*- - - - - -", "*", "* Маяк на Сером мысу - пример игры.", "!Текст"}),
            cp("Маяк на Сером мысу - пример игры."));
  EXPECT_EQ(title({"CREATE ключ", "@Меню%", ":начало", "  !== Старый дом ==  ", "* позже"}), cp("Старый дом"));
  EXPECT_EQ(title({":начало", "@Меню", "READ", "* - - -"}), "");
  const std::string words = std::string(30, 'a') + " " + std::string(40, 'b') + " " + std::string(40, 'c');
  EXPECT_EQ(title({"* " + words}), std::string(30, 'a') + " " + std::string(40, 'b') + cp("…"));

  Player player;
  TempDir out;
  auto r = request(player, out / "Мой сайт");
  r.title.clear();
  r.fallbackTitle = "mayak";
  ASSERT_EQ(web::publishGame(r).error, "");
  EXPECT_EQ(readBytes(out / "Мой сайт/index.html"), "<title>Привет, мир.</title><h1>Привет, мир.</h1>");
  r.scenario = cp1251Lines({":начало", "READ"});
  r.force = true;
  ASSERT_EQ(web::publishGame(r).error, "");
  EXPECT_EQ(readBytes(out / "Мой сайт/index.html"), "<title>mayak</title><h1>mayak</h1>");
}

TEST(Publish, RefusesAFolderThatHoldsFilesUnlessForced) {
  Player player;
  TempDir out;
  writeBytes(out / "notes.txt", "mine");
  auto r = request(player, out.path());
  auto result = web::publishGame(r);
  EXPECT_TRUE(result.folderNotEmpty);
  EXPECT_NE(result.error.find(cp("не пуста")), std::string::npos);
  EXPECT_EQ(out.entryCount(), 1u);

  EXPECT_FALSE(web::holdsOnlyPublishedGame(out.path()));
  r.force = true;
  result = web::publishGame(r);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(out.entryCount(), 7u);
  EXPECT_EQ(readBytes(out / "notes.txt"), "mine");  // other files are left alone

  TempDir again;
  EXPECT_FALSE(web::holdsOnlyPublishedGame(again.path()));
  EXPECT_EQ(web::publishGame(request(player, again.path())).error, "");
  EXPECT_TRUE(web::holdsOnlyPublishedGame(again.path()));
}

TEST(Publish, MissingPlayerFilesOrAFileAsFolderWriteNothing) {
  Player player;
  TempDir out;
  fs::remove(player.dir / "marvo.wasm");
  auto result = web::publishGame(request(player, out / "game"));
  EXPECT_NE(result.error.find("scripts/build-web"), std::string::npos);
  EXPECT_FALSE(fs::exists(out / "game"));

  Player complete;
  writeBytes(out / "file", "x");
  result = web::publishGame(request(complete, out / "file"));
  EXPECT_NE(result.error, "");
  EXPECT_FALSE(result.folderNotEmpty);
  EXPECT_EQ(readBytes(out / "file"), "x");
}

TEST(Publish, PlayerFilesComeFromTheEnvironmentOrTheInstallation) {
  Player player;
  TempDir install;
  fs::create_directories(install / "share/marvo/web");
  for (const char* name : web::kPlayerFiles) fs::copy_file(player.dir / name, install / "share/marvo/web" / name);

  ::setenv("MARVO_WEB_DIR", player.dir.path().c_str(), 1);
  EXPECT_EQ(web::findPlayerFiles(install / "bin"), player.dir.path());
  ::setenv("MARVO_WEB_DIR", (install / "nothing").c_str(), 1);
  EXPECT_EQ(web::findPlayerFiles(install / "bin"), fs::path());  // an explicit folder is the only one
  ::unsetenv("MARVO_WEB_DIR");
  EXPECT_EQ(web::findPlayerFiles(install / "bin"), (install / "share/marvo/web").lexically_normal());
}
