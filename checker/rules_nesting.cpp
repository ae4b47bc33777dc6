// Blocks in the wrong order: an IF closed at once, IF and TALK blocks that cross, a talk block that
// runs into the next one, a property set before its object's CREATE.
#include <unordered_map>

#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

bool blank(const ProgramLine& l) { return l.d.count == 0 || (l.rows & kComment); }

// An ENDIF as the skips and the run see it: it closes an IF and does nothing itself.
bool isEndif(const ProgramLine& l) { return (l.marks & kEndifWord) && !(l.rows & kIf); }

// The next line after i that is not blank, or -1 at a label or the end.
int nextStatement(const Context& ctx, int i) {
  for (int j = i + 1; j < ctx.size(); ++j) {
    if (ctx.isLabel(j)) return -1;
    if (!blank(ctx.line(j))) return j;
  }
  return -1;
}

// The line before i that is not blank, within the location, or -1.
int previousStatement(const Context& ctx, int i) {
  for (int j = i - 1; j >= 0; --j) {
    if (ctx.isLabel(j)) return -1;
    if (!blank(ctx.line(j))) return j;
  }
  return -1;
}

// An IF closed at once inside a command's block (a talk or a menu choice): lines meant for the
// condition stand outside it.
void emptyIfs(Context& ctx) {
  int talkDepth = 0;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      talkDepth = 0;
      continue;
    }
    if (talkDepth == 0) {
      if ((l.rows & kTalk) && (l.marks & kOpensTalk)) talkDepth = 1;
      continue;
    }
    if (l.marks & kOpensTalk) ++talkDepth;
    if (l.marks & kClosesTalk) --talkDepth;
    if (!(l.rows & kIf) || l.made != Made::Copy) continue;
    const int j = nextStatement(ctx, i);
    if (j < 0 || !isEndif(ctx.line(j)) || ctx.line(j).source != l.source) continue;
    ctx.report.at(l, Severity::Error,
                  concat("IF "_w, quoted(l.text),
                         " сразу закрыт ENDIF: под условием нет ни одной строки, и то, что должно выполняться "
                         "только при нём, выполняется всегда или не выполняется вовсе. Вероятно, строки "
                         "переставлены: поставьте строки условия между IF и ENDIF."_w),
                  "empty-if");
  }
}

// The talk block a walk over the program is in: it opens at a talk line that `opens` accepts,
// counts the talk lines nested in it and ends at its closing line or at a label.
class TalkBlockWalk {
 public:
  // Steps onto line i (lines in order). Returns the talk line of the block that line i lies in,
  // its own talk line and closing line excluded; -1 outside a block.
  template <class Opens>
  int step(const Context& ctx, int i, Opens opens) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      talkLine_ = -1;
      return -1;
    }
    if (talkLine_ < 0) {
      if ((l.marks & kOpensTalk) && opens(l)) {
        talkLine_ = i;
        depth_ = 1;
      }
      return -1;
    }
    if (l.marks & kOpensTalk) ++depth_;
    if ((l.marks & kClosesTalk) && --depth_ == 0) talkLine_ = -1;
    return talkLine_;
  }

 private:
  int talkLine_ = -1;
  int depth_ = 0;
};

// A talk block's REDO must close the IF blocks opened inside it, and an ENDIF inside it must not
// close an IF opened before it: else a false condition skips across the REDO (or into the block).
void crossedBlocks(Context& ctx) {
  int talkLine = -1;  // the open talk block (a talk line as written), or -1
  int talkDepth = 0;  // talk lines counted by its skip
  std::vector<int> openIfs;
  std::vector<int> outerIfs;  // IF lines open outside the talk blocks of the location
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      talkLine = -1;
      talkDepth = 0;
      openIfs.clear();
      outerIfs.clear();
      continue;
    }
    if (talkLine < 0) {
      if ((l.rows & kIf) && (l.marks & kOpensIf)) outerIfs.push_back(i);
      if (isEndif(l) && !outerIfs.empty()) outerIfs.pop_back();
      // A talk line as written, or the one a "do" choice makes (its body follows as written).
      if ((l.rows & kTalk) && (l.marks & kOpensTalk) && (l.made == Made::Copy || l.made == Made::Choice)) {
        talkLine = i;
        talkDepth = 1;
        openIfs.clear();
      }
      continue;
    }
    if (l.marks & kOpensTalk) ++talkDepth;
    if ((l.rows & kIf) && (l.marks & kOpensIf)) openIfs.push_back(i);
    if (isEndif(l) && l.made == Made::Copy) {
      if (openIfs.empty()) {
        ctx.report.at(l, Severity::Error,
                      concat("ENDIF внутри блока "_w, quoted(ctx.line(talkLine).text),
                             " закрывает IF, открытый до этого блока: при ложном условии пропуск придёт внутрь "
                             "блока. Поставьте ENDIF после REDO блока или IF внутрь блока."_w),
                      "crossed-blocks");
        // The other end: an IF right above the talk line, which may belong inside the block.
        const int afterIf = outerIfs.empty() ? -1 : nextStatement(ctx, outerIfs.back());
        const ProgramLine& talk = ctx.line(talkLine);
        if (afterIf >= 0 && afterIf <= talkLine && ctx.line(afterIf).origin == talk.origin &&
            ctx.line(afterIf).source == talk.source) {
          const ProgramLine& opener = ctx.line(outerIfs.back());
          ctx.report.at(opener, Severity::Error,
                        concat("IF "_w, quoted(opener.text), " открыт перед блоком "_w, quoted(ctx.line(talkLine).text),
                               ", а закрыт внутри него: при ложном условии пропуск придёт внутрь блока. "
                               "Поставьте IF после строки TALK или ENDIF после REDO."_w),
                        "crossed-blocks");
        }
        if (!outerIfs.empty()) outerIfs.pop_back();
      } else {
        openIfs.pop_back();
      }
    }
    if (l.marks & kClosesTalk) {
      if (--talkDepth > 0) continue;
      if (!openIfs.empty() && l.made == Made::Copy && (l.rows & kRedo))
        ctx.report.at(l, Severity::Error,
                      concat("REDO закрывает блок "_w, quoted(ctx.line(talkLine).text), ", а IF "_w,
                             quoted(ctx.line(openIfs.back()).text),
                             " внутри него ещё не закрыт: при ложном условии пропуск уйдёт за REDO, в следующие "
                             "строки локации. Поставьте ENDIF перед REDO."_w),
                      "crossed-blocks");
      talkLine = -1;
      openIfs.clear();
    }
  }
}

// A talk line inside an open talk block: the REDO between them is missing, and the first block's
// command runs the second block's lines too.
void talkInsideTalk(Context& ctx) {
  TalkBlockWalk walk;
  const auto written = [](const ProgramLine& l) { return (l.rows & kTalk) && l.made == Made::Copy; };
  for (int i = 0; i < ctx.size(); ++i) {
    const int talkLine = walk.step(ctx, i, written);
    const ProgramLine& l = ctx.line(i);
    if (talkLine < 0 || !(l.marks & kOpensTalk) || !written(l) || ctx.line(talkLine).source != l.source) continue;
    // Told where the REDO is missing: on the line before the inner talk line.
    const int before = previousStatement(ctx, i);
    const ProgramLine& at = before > talkLine ? ctx.line(before) : l;
    ctx.report.at(at, Severity::Error,
                  concat("Блок "_w, quoted(ctx.line(talkLine).text), " не закрыт REDO перед блоком "_w, quoted(l.text),
                         ": его команда выполнит и строки следующего блока. Поставьте REDO в конце блока."_w),
                  "talk-inside-talk");
  }
}

// "x_Свойство=…" run before "CREATE x" further down the same location: the object does not exist yet.
void propertyBeforeCreate(Context& ctx) {
  std::unordered_map<std::string, int> firstCreate;  // object -> first program line of its CREATE
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (l.rows & kCreate) firstCreate.emplace(l.d.word(1).text, i);
  }
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kProperty) || l.made != Made::Copy || !ctx.runnable[static_cast<std::size_t>(i)]) continue;
    const std::string& word = l.d.word(0).text;
    const std::size_t k = kPropertySuffixLength[static_cast<int>(l.d.property)];
    if (word.size() <= k) continue;
    const auto it = firstCreate.find(word.substr(0, word.size() - k));
    if (it == firstCreate.end() || it->second <= i || it->second - i > 500) continue;
    bool sameRun = true;  // no label, READ or jump between them
    for (int k = i + 1; k < it->second && sameRun; ++k)
      if (ctx.isLabel(k) || (ctx.line(k).rows & (kRead | kGoto | kJump | kReturn | kTalk | kIf))) sameRun = false;
    if (!sameRun) continue;
    const ProgramLine& create = ctx.line(it->second);
    ctx.report.at(l, Severity::Error,
                  concat("Свойство "_w, quoted(word), " задаётся до "_w, quoted(create.text), " (строка "_w,
                         std::to_string(create.origin + 1),
                         "): предмета ещё нет, и значение не сохранится. Поставьте CREATE перед свойствами."_w),
                  "property-before-create");
  }
}

// A GOTO or JUMP right after the REDO of a talk block, at the location's top level: it runs on
// every showing of the location, before the player can type (the jump of the block put after
// its REDO, say).
void jumpAfterBlock(Context& ctx) {
  int ifDepth = 0;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      ifDepth = 0;
      continue;
    }
    if ((l.rows & kIf) && (l.marks & kOpensIf)) ++ifDepth;
    if (isEndif(l) && ifDepth > 0) --ifDepth;
    if (ifDepth > 0 || l.made != Made::Copy || !(l.rows & (kGoto | kJump)) ||
        !ctx.runnable[static_cast<std::size_t>(i)])
      continue;
    const int before = previousStatement(ctx, i);
    if (before < 0) continue;
    const ProgramLine& redo = ctx.line(before);
    if (!(redo.rows & kRedo) || !(redo.marks & kClosesTalk) || redo.made != Made::Copy) continue;
    // A block closed at once is told by its own rule, with this line named.
    if (const int open = previousStatement(ctx, before); open >= 0 && (ctx.line(open).rows & kTalk)) continue;
    ctx.report.at(l, Severity::Warning,
                  concat("Строка "_w, quoted(l.text),
                         " стоит сразу после REDO блока, вне его: она выполняется при каждом показе локации, "
                         "раньше, чем игрок что-то введёт. Если переход — часть блока, поставьте его перед REDO."_w),
                  "jump-after-block");
  }
}

// "!2. text" inside the block of "TALK 1" (or of any number): the label of a numbered choice shows
// only once a choice is made, not in the menu before it.
void labelInsideChoice(Context& ctx) {
  TalkBlockWalk walk;
  const auto numberedChoice = [](const ProgramLine& l) {
    if (!(l.rows & kTalk) || l.made != Made::Copy) return false;
    const std::string pattern = trim(l.text.substr(4));
    return !pattern.empty() && isNumberLiteral(pattern, false);
  };
  for (int i = 0; i < ctx.size(); ++i) {
    const int talkLine = walk.step(ctx, i, numberedChoice);
    if (talkLine < 0) continue;
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kText) || l.made != Made::Copy) continue;
    // "!N. " or "@N. ": a digit run, a full stop and a blank after the first character.
    std::size_t k = 1;
    while (k < l.text.size() && l.text[k] >= '0' && l.text[k] <= '9') ++k;
    if (k == 1 || k + 1 >= l.text.size() || l.text[k] != '.' || l.text[k + 1] != ' ') continue;
    ctx.report.at(
        l, Severity::Error,
        concat("Строка пункта меню "_w, quoted(l.text), " стоит внутри блока "_w, quoted(ctx.line(talkLine).text),
               ": игрок увидит её только после выбора, а не в меню перед ним. Поставьте её перед "
               "строкой TALK своего пункта."_w),
        "label-inside-choice");
  }
}

}  // namespace

void checkNesting(Context& ctx) {
  emptyIfs(ctx);
  crossedBlocks(ctx);
  talkInsideTalk(ctx);
  propertyBeforeCreate(ctx);
  jumpAfterBlock(ctx);
  labelInsideChoice(ctx);
}

}  // namespace marvo::check
