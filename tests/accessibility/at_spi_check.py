#!/usr/bin/python3
"""Reads marvo through AT-SPI, as a screen reader does: the accessible names of the main window's
controls, then a command typed into the input line and the text-inserted event of the output pane
that must carry the game's answer (and only the new text).
Usage: at_spi_check.py MARVO SCENARIO  (DISPLAY and the accessibility bus set up by at_spi_test.sh).
marvo is started here once the event listener is registered, so that it sends its events from the
start, and ended here."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

NAMES = {  # accessible name -> roles it may have
    'Текст игры': {'text', 'terminal', 'document text'},
    'Команда': {'text', 'entry', 'password text'},
    'Инвентарь': {'list', 'list box'},
    'Характеристики': {'list', 'list box'},
}
COMMAND = 'look'
ANSWER = 'Стены увешаны старыми картами.'
EARLIER = 'Вы в длинном зале.'
DEADLINE = time.monotonic() + 45
LOG = open('marvo.log', 'wb')

inserted = []  # (source name, offset, text) of object:text-changed:insert
failures = []


def on_insert(event):
    try:
        inserted.append((event.source.name, event.detail1, str(event.any_data)))
    except Exception as error:  # an object gone meanwhile
        inserted.append(('?', -1, str(error)))


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or '').lower().startswith('marvo'):
            return app
    return None


def text_objects(app):
    """Every object of the application's tree that offers the text interface."""
    out = []

    def walk(node, depth):
        if node is None or depth > 12:
            return
        if 'Text' in pyatspi.listInterfaces(node):
            out.append(node)
        for i in range(node.childCount):
            walk(node.getChildAtIndex(i), depth + 1)

    walk(app, 0)
    return out


def controls(app):
    """The accessible objects named in NAMES, by name, found anywhere in the application's tree."""
    found = {}

    def walk(node, depth):
        if node is None or depth > 12:
            return
        if node.name in NAMES and node.name not in found:
            found[node.name] = node
        for i in range(node.childCount):
            walk(node.getChildAtIndex(i), depth + 1)

    walk(app, 0)
    return found


def click(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = extents.x + min(40, extents.width // 2), extents.y + extents.height // 2
    subprocess.run(['xdotool', 'mousemove', str(x), str(y), 'click', '1'], check=True, timeout=10)


state = {'step': 'start', 'found': {}, 'typed_at': 0.0}


def step():
    if time.monotonic() > DEADLINE:
        failures.append('timed out in step ' + state['step'])
        pyatspi.Registry.stop()
        return False
    if state['step'] == 'start':
        state['program'] = subprocess.Popen(sys.argv[1:], stdout=LOG, stderr=subprocess.STDOUT)
        state['step'] = 'wait-app'
        return True
    if state['program'].poll() is not None:
        failures.append(f"marvo ended (status {state['program'].returncode}) in step {state['step']}")
        pyatspi.Registry.stop()
        return False
    if state['step'] == 'wait-app':
        # The main window is up when some text object shows the game's first line.
        app = find_app()
        if app is None or not any(EARLIER in text_of(node) for node in text_objects(app)):
            return True
        found = controls(app)
        state['found'] = found
        missing = [name for name in NAMES if name not in found]
        if missing:
            failures.append('no control is named ' + ', '.join(f'«{name}»' for name in missing))
            pyatspi.Registry.stop()
            return False
        for name, node in found.items():
            role = node.getRoleName()
            if role not in NAMES[name]:
                failures.append(f'«{name}» has the role {role!r}')
        if EARLIER not in text_of(found['Текст игры']):
            failures.append('the control named «Текст игры» does not show the game')
        click(found['Команда'])
        state['step'] = 'type'
        return True
    if state['step'] == 'type':
        # No window manager: a click gives the input line the keyboard; the text is typed again
        # (over what stands there) until the input line shows it.
        inserted.clear()
        click(state['found']['Команда'])
        time.sleep(0.3)
        subprocess.run(['xdotool', 'key', 'ctrl+a'], check=True, timeout=10)
        subprocess.run(['xdotool', 'type', '--delay', '40', COMMAND], check=True, timeout=20)
        state['step'] = 'typed'
        state['typed_at'] = time.monotonic()
        return True
    if state['step'] == 'typed':
        if text_of(state['found']['Команда']) != COMMAND:
            if time.monotonic() - state['typed_at'] > 3:
                state['attempts'] = state.get('attempts', 0) + 1
                state['step'] = 'type'
            return True
        subprocess.run(['xdotool', 'key', 'Return'], check=True, timeout=10)
        state['step'] = 'wait-answer'
        state['typed_at'] = time.monotonic()
        return True
    if state['step'] == 'wait-answer':
        answers = [e for e in inserted if e[0] == 'Текст игры' and ANSWER in e[2]]
        if not answers and time.monotonic() - state['typed_at'] < 15:
            return True
        if not answers:
            failures.append('no text-inserted event of the output pane carries the answer; events: ' +
                            repr(inserted[:20]))
        else:
            _, offset, text = answers[-1]
            if f'>{COMMAND}' not in text:
                failures.append('the inserted text lacks the echo of the command: ' + repr(text))
            if EARLIER in text or offset <= 0:
                failures.append(f'the event repeats the earlier text (offset {offset}): {text!r}')
            shown = state['found']['Текст игры'].queryText()
            if not shown.getText(0, -1).rstrip().endswith(ANSWER):
                failures.append('the output pane does not end with the answer')
        typed = [e for e in inserted if e[0] == 'Команда']
        if not typed:
            failures.append('typing into the input line was not announced: ' + repr(inserted[:20]))
        pyatspi.Registry.stop()
        return False
    return False


def text_of(node):
    try:
        return node.queryText().getText(0, -1) if node is not None else ''
    except Exception:
        return ''


def main():
    pyatspi.Registry.registerEventListener(on_insert, 'object:text-changed:insert')
    GLib.timeout_add(300, step)
    pyatspi.Registry.start()
    program = state.get('program')
    if program is not None and program.poll() is None:
        program.terminate()
        try:
            program.wait(5)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()
    for failure in failures:
        print('at-spi: ' + failure)
    if not failures:
        print('at-spi: names ' + ', '.join(sorted(state['found'])) + '; the answer was announced' +
              (f" (typed {state['attempts'] + 1} times)" if state.get('attempts') else ''))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
