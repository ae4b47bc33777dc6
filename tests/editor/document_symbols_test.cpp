// The scenario document's symbol index follows every kind of edit as a fresh index would.
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <random>

#include "game/scenario_file.h"
#include "game/symbol_index.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

class DocumentSymbolsTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private slots:
  void followsTypingPastingUndoAndGeneratedInsertions() {
    auto read = marvo::readScenarioFile(MARVO_SOURCE_DIR "/games/mayak.scn");
    QVERIFY(read.error.empty());
    const auto game = read.lines;
    marvo::ScenarioDocument document;
    document.setLines(game);
    QTextDocument* text = document.textDocument();
    std::mt19937 random(20261210);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 1500; ++step) {
      const int kind = pick(10);
      if (kind < 6) {
        // Typing or pasting: a few characters, a line break, or pieces of the game's own lines.
        QTextCursor cursor(text);
        cursor.setPosition(pick(text->characterCount()));
        cursor.setPosition(std::min(cursor.position() + pick(kind == 0 ? 200 : 12), text->characterCount() - 1),
                           QTextCursor::KeepAnchor);
        QString inserted;
        for (int i = pick(3); i > 0; --i) {
          inserted += marvo::toQt(game[static_cast<std::size_t>(pick(static_cast<int>(game.size())))]).left(pick(40));
          if (pick(2)) inserted += QLatin1Char('\n');
        }
        cursor.insertText(inserted);
      } else if (kind == 6) {
        text->undo();
      } else if (kind == 7) {
        text->redo();
      } else if (kind == 8) {
        // A generator's insertion: several lines in one undo step.
        marvo::ScenarioDocument::UndoStep undoStep(document);
        const int at = pick(document.lineCount() + 1);
        for (int i = 0; i < 4; ++i)
          document.insertLine(at + i, game[static_cast<std::size_t>(pick(static_cast<int>(game.size())))]);
      } else {
        document.replaceLine(pick(std::max(document.lineCount(), 1)), pick(2) ? ":new_place" : "");
      }
      const marvo::SymbolIndex fresh(document.lines(), {});
      if (!(document.symbols() == fresh)) QFAIL(qPrintable(QStringLiteral("index differs after step %1").arg(step)));
    }
  }
};

QTEST_MAIN(DocumentSymbolsTest)
#include "document_symbols_test.moc"
