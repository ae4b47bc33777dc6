// Lines in the wrong order: statements no run reaches after an unconditional GOTO, JUMP, RETURN or
// READ; a talk block closed at once with its body after the REDO; a CREATE that runs again.
#include "context.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

// The unconditional statement that ends a line's flow, as the author would name it, or "".
std::string_view endsFlow(const ProgramLine& l) {
  if (l.rows & kReturn) return "RETURN";
  if (l.rows & kGoto) return "GOTO";
  if (l.rows & kJump) return "JUMP";
  if (l.rows & kRead) return "READ";
  return {};
}

// A line that does nothing when run and is only a marker or a gap.
bool blank(const ProgramLine& l) { return l.d.count == 0 || (l.rows & kComment); }

}  // namespace

void checkOrder(Context& ctx) {
  for (int i = 0; i + 1 < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!ctx.runnable[static_cast<std::size_t>(i)]) continue;
    const std::string_view by = endsFlow(l);
    if (by.empty() || l.made == Made::Button || l.made == Made::Return) continue;
    // A jump to a missing label is reported on its own line; what follows it is judged once it leads somewhere.
    if ((l.rows & (kGoto | kJump)) && !ctx.labels.count(concat(":", l.d.truthWord(1).text))) continue;
    // Blank lines, and a READ or RETURN that would end the turn anyway, change nothing when skipped.
    int j = i + 1;
    while (j < ctx.size() && !ctx.isLabel(j) && !ctx.runnable[static_cast<std::size_t>(j)] &&
           (blank(ctx.line(j)) || (ctx.line(j).rows & (kRead | kReturn))))
      ++j;
    if (j >= ctx.size() || ctx.runnable[static_cast<std::size_t>(j)] || ctx.isLabel(j)) continue;
    const ProgramLine& dead = ctx.line(j);
    if (dead.marks & (kClosesTalk | kClosesIf)) continue;  // the end of the block the jump leaves
    ctx.report.at(dead, Severity::Error,
                  concat("Строка "_w, quoted(dead.text), " никогда не выполнится: перед ней стоит "_w, by,
                         l.made == Made::Call ? " из CALL"_w : ""_w, " (строка "_w, std::to_string(l.origin + 1),
                         "), после которого выполнение сюда не возвращается. Переставьте строки или закройте "
                         "блок перед ней."_w),
                  "unreachable-line");
  }

  // A talk block closed at once: its command does nothing at all, not even "это невозможно" (the
  // GOTO or the text of its body lost, or put after the REDO).
  for (int i = 0; i + 1 < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!(l.rows & kTalk) || l.made != Made::Copy) continue;
    // Blank lines between them (a line deleted, say) leave the block as empty.
    int c = i + 1;
    while (c + 1 < ctx.size() && !ctx.isLabel(c) && blank(ctx.line(c))) ++c;
    const ProgramLine& close = ctx.line(c);
    if (!(close.marks & kClosesTalk) || !(close.rows & kRedo)) continue;
    const ProgramLine* after = c + 1 < ctx.size() ? &ctx.line(c + 1) : nullptr;
    const bool bodyAfter = after && !ctx.isLabel(c + 1) && after->source == l.source &&
                           (after->rows & (kGoto | kJump | kText | kExamine | kShowItem | kPushIndex));
    ctx.report.at(close, Severity::Error,
                  bodyAfter
                      ? concat("Блок "_w, quoted(l.text),
                               " закрыт REDO сразу: его команда ничего не сделает, а строка "_w, quoted(after->text),
                               " после REDO выполняется при каждом показе локации. Поставьте REDO после "
                               "строк блока."_w)
                      : concat("Блок "_w, quoted(l.text),
                               " пуст: REDO стоит сразу за ним, и его команда не сделает ничего — даже "
                               "не ответит «это невозможно». Допишите строки блока (текст, GOTO) перед "
                               "REDO или удалите блок."_w),
                  "empty-talk");
  }

  // CREATE in a location runs again on every visit and every Enter on an empty line, and the
  // second run stops the game; lines above the first label run once, a "^" line once, a CREATE
  // under IF is left to its condition.
  int ifDepth = 0;
  bool inLocation = false;
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (ctx.isLabel(i)) {
      inLocation = true;
      ifDepth = 0;
      continue;
    }
    if (l.rows & kIf) ++ifDepth;
    if ((l.marks & kClosesIf) && ifDepth > 0 && !(l.rows & kIf)) --ifDepth;
    if (!inLocation || ifDepth > 0 || !(l.rows & kCreate) || l.d.oneShot || l.text.starts_with("^")) continue;
    if (!ctx.runnable[static_cast<std::size_t>(i)]) continue;
    const std::string& name = l.d.word(1).text;
    ctx.report.at(l, Severity::Error,
                  concat("CREATE "_w, name,
                         " стоит внутри локации и выполнится снова при следующем её показе (или Enter на пустой "
                         "строке): игра остановится сообщением «Объект "_w,
                         name,
                         " объявлен повторно». Перенесите CREATE в начало сценария, до первой метки, или "
                         "напишите «^CREATE "_w,
                         name, "»."_w),
                  "create-rerun");
  }
}

}  // namespace marvo::check
