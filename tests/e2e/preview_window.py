#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the road of one print under Xvfb with xdotool.

Print opens the preview of the active layout; the preview saves the sheet as
a report file (read back by tovrel-tool), loads it again, searches its text,
goes to a page by number and closes with Esc; then Print with Page3 chosen
by hand previews layout 3. The program writes the preview window's state to
TOVREL_TEST_STATE_FILE + ".preview" after every change; every step is
photographed for review.
"""
import argparse
import json
import os
import subprocess
import sys
import time

from worksheet_window import Failure, Session, expect, run_session


class PreviewSession(Session):
    def preview_state(self):
        try:
            with open(self.state_file + '.preview', encoding='utf-8') as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def wait_preview(self, pred, what, timeout=20):
        deadline = time.time() + timeout
        s = None
        while time.time() < deadline:
            s = self.preview_state()
            if s is not None and pred(s):
                return s
            time.sleep(0.1)
        raise Failure('timed out waiting for %s; last preview state: %s' % (what, json.dumps(s, ensure_ascii=False)))

    def click_at(self, x, y):
        self.x('xdotool', 'mousemove', '--sync', str(x), str(y), 'click', '1')
        time.sleep(0.3)

    def click_button(self, name):
        x, y = self.preview_state()['buttons'][name]
        self.click_at(x, y)

    def wait_window(self, title, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.x('xdotool', 'search', '--onlyvisible', '--name', title, check=False).split()
            if out:
                time.sleep(0.4)
                return out[0]
            time.sleep(0.2)
        raise Failure('no window titled %r' % title)

    def wait_gone(self, wid, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if wid not in self.x('xdotool', 'search', '--onlyvisible', '--name', '.', check=False).split():
                return
            time.sleep(0.2)
        raise Failure('window %s did not close' % wid)

    def type_text(self, text):
        self.x('xdotool', 'type', '--delay', '60', text)
        time.sleep(0.2)


def dialog_answer(s, title, text, clear=False):
    """Types `text` into the dialog titled `title` and confirms it."""
    wid = s.wait_window(title)
    s.x('xdotool', 'windowfocus', '--sync', wid, check=False)
    if clear:
        s.key('ctrl+a', 'BackSpace')
    s.type_text(text)
    s.screenshot('dialog-' + title.split()[0].lower(), 'root')
    s.key('Return')
    s.wait_gone(wid)


def print_click(s, wid):
    # btnPrint sits at (214, 291), 75 x 25, in the window.
    s.x('xdotool', 'mousemove', '--window', wid, '--sync', '251', '303', 'click', '1')


def run(s, tool):
    s.start_xvfb()
    s.start_app()
    wid = s.find_main_window()
    s.x('xdotool', 'windowfocus', '--sync', wid)
    s.wait_state(lambda t: t['tag'] == 1, 'the first activation')

    # Print: the preview of layout 1, maximised, at zoom to fit, one page.
    print_click(s, wid)
    st = s.wait_preview(lambda p: p['open'] and p['imageOK'] and not p['busy'], 'the preview with its page')
    expect(st['caption'] == 'Report Preview : ', 'caption %r' % st['caption'])
    expect(st['maximized'], 'the preview is not maximised')
    expect(st['zoomState'] == 0, 'zoom state %d, not zoom to fit' % st['zoomState'])
    expect(st['status'][1] == 'Page 1 of 1', 'status %r' % st['status'][1])
    expect(st['thumbRows'] == 1 and st['thumbsVisible'], 'thumbnails: %d rows' % st['thumbRows'])
    expect(st['report'] == 'rpt1', 'previews %r, not rpt1' % st['report'])
    s.wait_window('Report Preview')
    s.screenshot('preview-opened', 'root')

    # Save under a name without extension: the first file type gives .TRP.
    base = os.path.join(s.tmp, 'sheet')
    s.click_button('SaveReport')
    dialog_answer(s, 'Save report', base)
    trp = base + '.TRP'
    deadline = time.time() + 10
    while not os.path.exists(trp) and time.time() < deadline:
        time.sleep(0.2)
    expect(os.path.exists(trp), 'no %s written' % trp)
    info = subprocess.run([tool, 'trp', 'info', trp], capture_output=True, text=True, timeout=30)
    expect(info.returncode == 0 and 'pages: 1' in info.stdout, 'trp info: %s %s' % (info.stdout, info.stderr))
    s.screenshot('saved', 'root')

    # Load it back: its name in the status bar, page 1 of 1 shown.
    s.click_button('LoadReport')
    dialog_answer(s, 'Load report', trp)
    st = s.wait_preview(lambda p: p['status'][2] == trp, 'the loaded file in the status bar')
    expect(st['status'][1] == 'Page 1 of 1' and st['imageOK'], 'after loading: %s' % st['status'])
    s.screenshot('loaded', 'root')

    # Search.
    s.click_button('FindButton')
    dialog_answer(s, 'Search for Text', '變')
    st = s.wait_preview(lambda p: p['searchResults'] == ['Page 1'], 'the search for 變')
    expect(st['searchEnabled'], 'the result list is disabled')
    s.screenshot('search-found', 'root')
    s.click_button('FindButton')
    dialog_answer(s, 'Search for Text', 'xyz')
    st = s.wait_preview(lambda p: p['searchResults'] == ['No matching text'], 'the search for xyz')
    expect(not st['searchEnabled'], 'the list of no matches is enabled')
    s.screenshot('search-none', 'root')

    # Go to page "abc": page 1.
    s.click_button('GotoPageButton')
    dialog_answer(s, 'Select a page from 1 to 1', 'abc', clear=True)
    st = s.wait_preview(lambda p: p['page'] == 1 and p['status'][1] == 'Page 1 of 1', 'page 1 after "abc"')
    s.screenshot('goto-abc', 'root')

    # Esc closes the preview; the main window takes typing again.
    pid = s.wait_window('Report Preview')
    s.x('xdotool', 'windowfocus', '--sync', pid, check=False)
    s.key('Escape')
    s.wait_preview(lambda p: not p['open'], 'the preview to close')
    s.wait_gone(pid)
    s.x('xdotool', 'windowfocus', '--sync', wid)
    # Print took the focus when clicked: the edit box (8, 67, 384 x 72) gets it back.
    s.x('xdotool', 'mousemove', '--window', wid, '--sync', '200', '103', 'click', '1')
    s.key('End')
    s.type_chars('從')
    st = s.wait_state(lambda t: t['text'] == '變從' and t['activePage'] == 1, 'typing after the preview closed')
    s.screenshot('main-window-live', wid)

    # Page3 chosen by hand: Print previews layout 3.
    tx, ty = st['tabs'][2]
    s.x('xdotool', 'mousemove', '--window', wid, '--sync', str(tx), str(ty), 'click', '1')
    s.wait_state(lambda t: t['activePage'] == 2, 'Page3 chosen by hand')
    print_click(s, wid)
    st = s.wait_preview(lambda p: p['open'] and p['report'] == 'rpt3' and p['imageOK'], 'the preview of layout 3')
    expect(st['status'][1] == 'Page 1 of 1', 'layout 3: status %r' % st['status'][1])
    pid = s.wait_window('Report Preview')
    s.screenshot('preview-layout3', 'root')
    s.x('xdotool', 'windowfocus', '--sync', pid, check=False)
    s.key('Escape')
    s.wait_preview(lambda p: not p['open'], 'the preview of layout 3 to close')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--program', required=True)
    ap.add_argument('--tool', required=True)
    ap.add_argument('--screens', required=True)
    args = ap.parse_args()
    s = PreviewSession(args.program, args.screens)
    return run_session(s, lambda: run(s, args.tool), args.screens)


if __name__ == '__main__':
    sys.exit(main())
