#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the worksheet window under Xvfb with xdotool.

The program is started with TOVREL_TEST_STATE_FILE set, so after every
change it writes the active page and the caption of every cell; the test
types into the edit box like a user and checks each state against what the
window must show. A screenshot of every state is saved for review.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

# Design captions of the cells, before any word of that length was typed.
DESIGN = {
    'A1': '變', 'A2': '儲', 'A3': '儲', 'A4': '儲', 'A5': '變', 'A6': '儲', 'A7': '儲', 'A8': '儲',
    'B1a': '變', 'B2a': '壞', 'B1b': '儲', 'B2b': '壞', 'B1c': '儲', 'B2c': '壞',
    'B1d': '儲', 'B2d': '壞', 'B1e': '儲', 'B2e': '壞',
    'C1a': '病', 'C2a': '從', 'C3a': '口', 'C1b': '從', 'C2b': '口', 'C3b': '入',
    'C1c': '病', 'C2c': '從', 'C3c': '口', 'C1d': '從', 'C2d': '口', 'C3d': '入',
    'D1a': '病', 'D2a': '從', 'D3a': '口', 'D4a': '入', 'D1b': '病', 'D2b': '從',
    'D3b': '口', 'D4b': '入', 'D1c': '病', 'D2c': '從', 'D3c': '口', 'D4c': '入',
    'D1d': '病', 'D2d': '從', 'D3d': '口', 'D4d': '入',
}
LETTER = 'ABCD'


def cells_of(layout):
    return [n for n in DESIGN if n[0] == LETTER[layout - 1]]


def position(name):
    """Character position a cell takes: layout 1 cells all take the first."""
    return 1 if name[0] == 'A' else int(name[1])


def filled(layout, word):
    """Captions of layout `layout` after it was refreshed with `word`."""
    return {n: word[position(n) - 1] for n in cells_of(layout)}


class Failure(Exception):
    pass


class Session:
    def __init__(self, program, screens):
        self.program = program
        self.screens = screens
        self.tmp = tempfile.mkdtemp(prefix='tovrel-e2e-')
        self.state_file = os.path.join(self.tmp, 'state.json')
        self.xvfb = None
        self.app = None
        self.display = None
        self.env = dict(os.environ)
        self.shot = 0

    # --- processes -------------------------------------------------------
    def start_xvfb(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', str(w), '-screen', '0', '1600x1300x24', '-nolisten', 'tcp'],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        data = b''
        deadline = time.time() + 20
        while not data.endswith(b'\n') and time.time() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            data += chunk
        os.close(r)
        if not data.strip():
            raise Failure('Xvfb did not report a display')
        self.display = ':' + data.decode().strip()
        self.env.update(DISPLAY=self.display, LANG='C.UTF-8', LC_ALL='C.UTF-8',
                        QT_QPA_PLATFORM='xcb', TOVREL_TEST_STATE_FILE=self.state_file)
        self.env.pop('TOVREL_QUIT_AFTER_FIRST_PAINT', None)

    def start_app(self):
        self.app = subprocess.Popen([self.program], env=self.env,
                                    stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.tmp, 'stderr'), 'w'))

    def stop(self):
        for p in (self.app, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()

    # --- X helpers -------------------------------------------------------
    def x(self, *args, check=True):
        out = subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=30)
        if check and out.returncode != 0:
            raise Failure('%s failed: %s' % (' '.join(args), out.stderr.strip()))
        return out.stdout

    def windows(self):
        out = self.x('xdotool', 'search', '--onlyvisible', '--pid', str(self.app.pid), check=False)
        return [w for w in out.split()]

    def find_main_window(self):
        deadline = time.time() + 30
        while time.time() < deadline:
            if self.app.poll() is not None:
                raise Failure('the program ended early: ' + open(os.path.join(self.tmp, 'stderr')).read())
            out = self.x('xdotool', 'search', '--onlyvisible', '--name', '^Tovrel$', check=False).split()
            if out:
                return out[0]
            time.sleep(0.2)
        raise Failure('no window titled "Tovrel"')

    def geometry(self, wid):
        info = self.x('xwininfo', '-id', wid)
        vals = {}
        for line in info.splitlines():
            line = line.strip()
            for key in ('Width', 'Height'):
                if line.startswith(key + ':'):
                    vals[key] = int(line.split(':')[1])
        return vals.get('Width'), vals.get('Height')

    def title(self, wid):
        return self.x('xdotool', 'getwindowname', wid).strip()

    def screenshot(self, label, wid='root'):
        self.shot += 1
        os.makedirs(self.screens, exist_ok=True)
        path = os.path.join(self.screens, '%02d-%s.png' % (self.shot, label))
        self.x('import', '-window', wid, path)
        return path

    def type_chars(self, text):
        # xdotool types a character by mapping it to a spare key code for
        # the moment; on a busy machine a key can get lost, so every
        # character is checked in the window's state and typed again if it
        # did not arrive. The cursor is at the end of the text here.
        for ch in text:
            before = (self.state() or {}).get('text', '')
            for attempt in range(3):
                self.x('xdotool', 'type', '--delay', '80', ch)
                try:
                    self.wait_state(lambda t: t['text'] == before + ch, 'the typed character', timeout=3)
                    break
                except Failure:
                    if attempt == 2:
                        raise
            time.sleep(0.1)

    def key(self, *keys):
        self.x('xdotool', 'key', '--delay', '80', *keys)
        time.sleep(0.25)

    # --- state -----------------------------------------------------------
    def state(self):
        try:
            with open(self.state_file, encoding='utf-8') as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def wait_state(self, pred, what, timeout=10):
        deadline = time.time() + timeout
        s = None
        while time.time() < deadline:
            s = self.state()
            if s is not None and pred(s):
                return s
            time.sleep(0.1)
        raise Failure('timed out waiting for %s; last state: %s' % (what, json.dumps(s, ensure_ascii=False)))


def expect(cond, message):
    if not cond:
        raise Failure(message)


def check_cells(state, expected, when):
    bad = {n: (state['cells'].get(n), v) for n, v in expected.items() if state['cells'].get(n) != v}
    expect(not bad, '%s: cells differ (got, want): %s' % (when, json.dumps(bad, ensure_ascii=False)))


def run(s):
    s.start_xvfb()
    s.start_app()
    wid = s.find_main_window()
    expect(s.title(wid) == 'Tovrel', 'title is %r' % s.title(wid))
    w, h = s.geometry(wid)
    expect((w, h) == (1360, 1125), 'client area is %sx%s, not 1360x1125' % (w, h))

    # The first activation fills layout 1 with the initial word.
    s.x('xdotool', 'windowfocus', '--sync', wid)
    st = s.wait_state(lambda t: t['tag'] == 1, 'the first activation')
    expect(st['activePage'] == 0, 'start: active page %d, not Page1' % st['activePage'])
    expect(st['text'] == '變', 'start: text %r' % st['text'])
    cells = dict(DESIGN)
    cells.update(filled(1, '變'))
    check_cells(st, cells, 'start')
    s.screenshot('start-page1', wid)

    # Typing to two, then three characters.
    s.type_chars('從')
    st = s.wait_state(lambda t: t['text'] == '變從', 'two characters')
    expect(st['activePage'] == 1, 'two characters: active page %d' % st['activePage'])
    cells.update(filled(1, '變從'))
    cells.update(filled(2, '變從'))
    check_cells(st, cells, 'two characters')
    s.type_chars('口')
    st = s.wait_state(lambda t: t['text'] == '變從口', 'three characters')
    expect(st['activePage'] == 2, 'three characters: active page %d, not Page3' % st['activePage'])
    cells.update(filled(3, '變從口'))
    check_cells(st, cells, 'three characters')
    for n in cells_of(4):
        expect(st['cells'][n] == DESIGN[n], 'three characters: layout 4 changed at %s' % n)
    s.screenshot('three-chars-page3', wid)

    # Deleting back to two: Page2, layout 3 keeps the three-character word.
    s.key('BackSpace')
    st = s.wait_state(lambda t: t['text'] == '變從', 'back to two characters')
    expect(st['activePage'] == 1, 'back to two: active page %d, not Page2' % st['activePage'])
    check_cells(st, cells, 'back to two')
    s.screenshot('back-to-two-page2', wid)

    # Deleting the first character: layout 1 takes the new word, layout 2
    # keeps the old one.
    s.key('Home', 'Delete')
    st = s.wait_state(lambda t: t['text'] == '從', 'first character deleted')
    expect(st['activePage'] == 0, 'one character: active page %d' % st['activePage'])
    cells.update(filled(1, '從'))
    check_cells(st, cells, 'one character')

    # Clearing: no page active, no cell changes.
    s.key('End', 'shift+Home', 'BackSpace')
    st = s.wait_state(lambda t: t['text'] == '', 'the cleared box')
    expect(st['activePage'] == -1, 'cleared: active page %d, not none' % st['activePage'])
    check_cells(st, cells, 'cleared')
    s.screenshot('cleared-no-page', wid)

    # Four characters, then a fifth: the message box, nothing else changes.
    s.type_chars('病從口入')
    st = s.wait_state(lambda t: t['text'] == '病從口入', 'four characters')
    expect(st['activePage'] == 3, 'four characters: active page %d' % st['activePage'])
    for i in range(1, 5):
        cells.update(filled(i, '病從口入'))
    check_cells(st, cells, 'four characters')
    before = s.windows()
    messages = st['messages']
    s.type_chars('門')
    st = s.wait_state(lambda t: t['messages'] == messages + 1, 'the message for a fifth character')
    expect(st['text'] == '病從口入門', 'fifth character: text %r' % st['text'])
    expect(st['activePage'] == 3, 'fifth character: active page %d' % st['activePage'])
    check_cells(st, cells, 'fifth character')
    box = None
    deadline = time.time() + 10
    while box is None and time.time() < deadline:
        new = [w for w in s.windows() if w not in before]
        box = new[0] if new else None
        time.sleep(0.2)
    expect(box is not None, 'no message box appeared')
    bw, bh = s.geometry(box)
    expect(bw < 1360 and bh < 1125, 'the new window (%sx%s) is not a message box' % (bw, bh))
    time.sleep(0.3)
    s.screenshot('fifth-char-message', 'root')
    s.x('xdotool', 'windowfocus', '--sync', box)
    s.key('Return')
    deadline = time.time() + 10
    while box in s.windows() and time.time() < deadline:
        time.sleep(0.2)
    expect(box not in s.windows(), 'the message box did not close')
    st = s.state()
    expect(st['activePage'] == 3 and st['text'] == '病從口入門', 'after the message: state changed')
    check_cells(st, cells, 'after the message')

    # One character outside the Basic Multilingual Plane is one character:
    # the one-character sheet, the whole character in every cell.
    s.x('xdotool', 'windowfocus', '--sync', wid)
    s.key('ctrl+a', 'BackSpace')
    s.wait_state(lambda t: t['text'] == '', 'the cleared box')
    s.type_chars('\U00020000')
    st = s.wait_state(lambda t: t['cellUnits'].get('A1') == 'd840 dc00', 'a supplementary character')
    expect(st['activePage'] == 0, 'supplementary character: active page %d, not Page1' % st['activePage'])
    for n in cells_of(1):
        expect(st['cellUnits'][n] == 'd840 dc00', 'supplementary character: %s holds %s' % (n, st['cellUnits'][n]))
    s.screenshot('supplementary-page1', wid)

    # Words of Taiwan's standard forms, each on the sheet of its length: the
    # model cells numbered as the tracing cells are written; none of them
    # needs the notice's line of characters drawn without stroke numbers,
    # but for 𠀋, which no stroke data has.
    for word, page, name in (('草花', 1, 'grass-flower'), ('那近', 1, 'that-near'), ('骨', 0, 'bone'),
                             ('\U0002000B口', 1, 'supplementary-mouth'), ('病從口入', 3, 'disease-enters')):
        s.x('xdotool', 'windowfocus', '--sync', wid)
        s.key('ctrl+a', 'BackSpace')
        s.wait_state(lambda t: t['text'] == '', 'the cleared box')
        s.type_chars(word)
        st = s.wait_state(lambda t, w=word: t['text'] == w, 'the word ' + word)
        expect(st['activePage'] == page, '%s: active page %d, not %d' % (word, st['activePage'], page + 1))
        unnumbered = [line for line in st['fontNotice'] if line.startswith('不標筆順號碼')]
        if word == '\U0002000B口':
            expect(unnumbered and '\U0002000B' in unnumbered[0], '𠀋口: the notice does not name 𠀋: %s' % st['fontNotice'])
        else:
            expect(not unnumbered, '%s: the notice names %s' % (word, unnumbered))
        time.sleep(0.5)
        s.screenshot('sheet-' + name, wid)


def run_session(s, body, screens, after=()):
    """Runs `body` on the session: a failure is photographed and told on
    stderr (exit status 1); the session and then `after` are ended in any
    case. Only this run's pictures stay in `screens`."""
    if os.path.isdir(screens):
        for name in os.listdir(screens):
            if name.endswith('.png'):
                os.remove(os.path.join(screens, name))
    try:
        body()
    except Failure as e:
        try:
            s.screenshot('failure', 'root')
        except Exception:
            pass
        print('FAIL:', e, file=sys.stderr)
        return 1
    finally:
        s.stop()
        for end in after:
            end()
    print('screenshots in', screens)
    return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--program', required=True)
    ap.add_argument('--screens', required=True)
    args = ap.parse_args()
    s = Session(args.program, args.screens)
    return run_session(s, lambda: run(s), args.screens)


if __name__ == '__main__':
    sys.exit(main())
