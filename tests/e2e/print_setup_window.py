#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The print road under Xvfb, onto a CUPS queue that cups-pdf writes as PDF,
and the windows in the desktop's language.

First, on an English desktop: the word 學校, Print, Printer setup (the
dialog's title says it is the printer setup and its button says "OK"), two
copies chosen, OK, then Print: the job on the queue is named after the sheet
and has the two copies. The preview's tips read as they stand.

Then on a Traditional Chinese desktop (LANG=zh_TW.UTF-8): the preview's
tool-bar tips, its search and go-to dialogs and the print dialog (Qt's own
buttons as much as ours) read Chinese.

Needs root to run its own cupsd; without it (or without CUPS and cups-pdf)
the test says why and is skipped.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from preview_window import PreviewSession, print_click
from worksheet_window import Failure, expect, run_session

QUEUE = 'tovrel-e2e-pdf'
PPD = '/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd'
SKIP = 77
LOCK = os.path.join(tempfile.gettempdir(), 'tovrel-cups-tests.lock')


class Skip(Exception):
    pass


def sh(*args, check=True, timeout=30):
    r = subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)
    if check and r.returncode != 0:
        raise Failure('%s failed: %s%s' % (' '.join(args), r.stdout, r.stderr))
    return r.stdout


class Cups:
    """A CUPS server with a cups-pdf queue of its own, as the printing tests
    have it: one test process at a time holds it (the lock the other CUPS
    tests take)."""

    def __init__(self, tmp):
        self.tmp = tmp
        self.cupsd = None
        self.lock_fd = None

    def running(self):
        r = subprocess.run(['lpstat', '-r'], capture_output=True, text=True)
        return r.returncode == 0 and 'scheduler is running' in r.stdout and 'not running' not in r.stdout

    def take_lock(self):
        deadline = time.time() + 180
        while time.time() < deadline:
            try:
                self.lock_fd = os.open(LOCK, os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o644)
                os.write(self.lock_fd, ('%d\npython3\n%s\n' % (os.getpid(), os.uname().nodename)).encode())
                return
            except FileExistsError:
                try:
                    pid = int(open(LOCK).read().split()[0])
                    os.kill(pid, 0)
                except (OSError, ValueError, IndexError):
                    os.remove(LOCK)  # left by a process that is gone
                    continue
                time.sleep(0.5)
        raise Failure('another CUPS test holds %s' % LOCK)

    def start(self):
        if os.geteuid() != 0:
            raise Skip('needs root to run cupsd')
        for path in ('/usr/sbin/cupsd', '/usr/sbin/lpadmin', '/usr/lib/cups/backend/cups-pdf', PPD):
            if not os.path.exists(path):
                raise Skip('%s is not installed (cups, printer-driver-cups-pdf)' % path)
        for program in ('ipptool', 'lpstat'):
            if not shutil.which(program):
                raise Skip('%s is not installed (cups-ipp-utils, cups-client)' % program)
        self.take_lock()
        if not self.running():
            self.cupsd = subprocess.Popen(['/usr/sbin/cupsd', '-f'], stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
            deadline = time.time() + 20
            while not self.running() and time.time() < deadline:
                time.sleep(0.2)
            if not self.running():
                raise Failure('cupsd did not start')
        sh('lpadmin', '-p', QUEUE, '-E', '-v', 'cups-pdf:/', '-P', PPD)
        head = ('  GROUP operation-attributes-tag\n  ATTR charset attributes-charset utf-8\n'
                '  ATTR naturalLanguage attributes-natural-language en\n  ATTR uri printer-uri $uri\n'
                '  ATTR name requesting-user-name root\n')
        with open(os.path.join(self.tmp, 'get-jobs.test'), 'w') as f:
            f.write('{\n  OPERATION Get-Jobs\n' + head + '  ATTR keyword which-jobs all\n'
                    '  ATTR keyword requested-attributes job-id\n  STATUS successful-ok\n}\n')
        with open(os.path.join(self.tmp, 'get-job.test'), 'w') as f:
            f.write('{\n  OPERATION Get-Job-Attributes\n' + head + '  ATTR integer job-id $job_id\n'
                    '  ATTR keyword requested-attributes all\n  STATUS successful-ok\n}\n')

    def stop(self):
        subprocess.run(['lpadmin', '-x', QUEUE], capture_output=True)
        if self.cupsd:
            self.cupsd.terminate()
            try:
                self.cupsd.wait(10)
            except subprocess.TimeoutExpired:
                self.cupsd.kill()
        if self.lock_fd is not None:
            os.close(self.lock_fd)
            os.remove(LOCK)

    def ipp(self, test, *vars):
        args = ['ipptool', '-t', '-v']
        for v in vars:
            args += ['-d', v]
        out = sh(*(args + ['ipp://localhost/printers/' + QUEUE, os.path.join(self.tmp, test)]))
        attrs = {}
        for m in re.finditer(r'^\s+([\w-]+) \([^)]*\) = (.*)$', out[out.find('RECEIVED:'):], re.M):
            attrs[m.group(1)] = attrs[m.group(1)] + ',' + m.group(2) if m.group(1) in attrs else m.group(2)
        return attrs

    def jobs(self):
        ids = self.ipp('get-jobs.test').get('job-id', '')
        return {int(i) for i in ids.split(',') if i}

    def new_job(self, before, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            new = self.jobs() - before
            if len(new) == 1:
                return new.pop()
            expect(len(new) <= 1, 'several new jobs: %s' % new)
            time.sleep(0.3)
        raise Failure('no job reached %s' % QUEUE)

    def completed(self, job, timeout=60):
        deadline = time.time() + timeout
        a = {}
        while time.time() < deadline:
            a = self.ipp('get-job.test', 'job_id=%d' % job)
            if a.get('job-state') == 'completed':
                return a
            expect(a.get('job-state') not in ('canceled', 'aborted'), 'job %d ended %s' % (job, a.get('job-state')))
            time.sleep(0.3)
        raise Failure('job %d did not complete: %s' % (job, a))


class SetupSession(PreviewSession):
    def dialog_state(self):
        try:
            with open(self.state_file + '.dialog', encoding='utf-8') as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def wait_dialog(self, title, pred=lambda d: True, timeout=20):
        deadline = time.time() + timeout
        s = None
        while time.time() < deadline:
            s = self.dialog_state()
            if s is not None and s.get('title') == title and pred(s):
                return s
            time.sleep(0.1)
        raise Failure('no print dialog titled %r; last: %s' % (title, json.dumps(s, ensure_ascii=False)))

    def reset_dialog_state(self):
        try:
            os.remove(self.state_file + '.dialog')
        except OSError:
            pass

    def close_app(self):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            self.app.wait(10)


def open_preview(s, wid, word):
    s.x('xdotool', 'windowfocus', '--sync', wid)
    s.wait_state(lambda t: t['tag'] == 1, 'the first activation')
    if word:
        s.x('xdotool', 'mousemove', '--window', wid, '--sync', '200', '103', 'click', '1')
        s.key('ctrl+a', 'BackSpace')
        s.wait_state(lambda t: t['text'] == '', 'the cleared box')
        s.type_chars(word)
    print_click(s, wid)
    return s.wait_preview(lambda p: p['open'] and p['imageOK'] and not p['busy'], 'the preview with its page')


def english(s, cups):
    s.env.update(PRINTER=QUEUE)
    s.start_app()
    wid = s.find_main_window()
    st = open_preview(s, wid, '學校')
    expect(st['report'] == 'rpt2', 'previews %r, not rpt2' % st['report'])
    expect(st['tips']['ZoomFit'] == 'Zoom to fit' and st['tips']['PrintSetup'] == 'Printer setup',
           'English tips: %s' % st['tips'])
    s.wait_window('Report Preview')

    # Printer setup: its title and button say what it does.
    s.reset_dialog_state()
    s.click_button('PrintSetup')
    d = s.wait_dialog('Printer setup')
    expect(d['ok']['text'] == 'OK', 'the setup confirms with %r' % d['ok']['text'])
    expect(d.get('printer') == QUEUE, 'the dialog offers %r' % d.get('printer'))
    s.wait_window('Printer setup')
    if 'copies' not in d:
        # The copies are among the options the dialog opens on request.
        expect('options' in d, 'the dialog shows neither its copies nor its options: %s' % d)
        s.click_at(*d['options']['at'])
        d = s.wait_dialog('Printer setup', lambda d: 'copies' in d)
    s.click_at(*d['copies']['at'])
    s.key('ctrl+a')
    s.type_text('2')
    s.key('Tab')
    s.screenshot('printer-setup-two-copies', 'root')
    dwid = s.wait_window('Printer setup')
    s.click_at(*d['ok']['at'])
    s.wait_gone(dwid)

    # Print: the job has the sheet's name and the copies chosen.
    before = cups.jobs()
    s.click_button('Print')
    job = cups.new_job(before)
    done = cups.completed(job)
    expect(done.get('job-name') == 'Tovrel 學校', 'job name %r' % done.get('job-name'))
    expect(done.get('copies') == '2', 'copies %r' % done.get('copies'))
    s.screenshot('printed', 'root')
    pid = s.wait_window('Report Preview')
    s.x('xdotool', 'windowfocus', '--sync', pid, check=False)
    s.key('Escape')
    s.wait_preview(lambda p: not p['open'], 'the preview to close')
    s.close_app()


def chinese(s):
    s.env.update(LANG='zh_TW.UTF-8', LC_ALL='zh_TW.UTF-8', LANGUAGE='zh_TW')
    s.reset_dialog_state()
    for f in (s.state_file, s.state_file + '.preview'):
        try:
            os.remove(f)
        except OSError:
            pass
    s.start_app()
    wid = s.find_main_window()
    st = open_preview(s, wid, '')
    want = {'ZoomFit': '整頁顯示', 'ZoomToWidth': '符合頁寬', 'FirstPage': '第一頁', 'nextPage': '下一頁',
            'GotoPageButton': '跳至指定頁', 'FindButton': '搜尋文字', 'PrintSetup': '印表機設定', 'Print': '列印',
            'SaveReport': '儲存報表', 'LoadReport': '載入報表', 'ExitButton': '關閉預覽'}
    for name, text in want.items():
        expect(st['tips'].get(name) == text, 'tip of %s: %r, not %r' % (name, st['tips'].get(name), text))
    expect(st['caption'] == '報表預覽：', 'caption %r' % st['caption'])
    expect(st['status'][1] == '頁 1 / 1', 'status %r' % st['status'][1])
    s.wait_window('報表預覽')
    s.screenshot('zh-preview', 'root')

    # The search and go-to dialogs, found by their Chinese titles.
    for button, title, shot in (('FindButton', '搜尋文字', 'zh-search-dialog'),
                                ('GotoPageButton', '選擇頁碼（1 至 1）', 'zh-goto-dialog')):
        s.click_button(button)
        dialog = s.wait_window(title)
        s.screenshot(shot, 'root')
        s.x('xdotool', 'windowfocus', '--sync', dialog, check=False)
        s.key('Escape')
        s.wait_gone(dialog)

    # The print dialog: our title and button, and Qt's own in Chinese.
    s.click_button('PrintSetup')
    d = s.wait_dialog('印表機設定')
    expect(d['ok']['text'] == '確定', 'the setup confirms with %r' % d['ok']['text'])
    expect(d['cancel']['text'] == '取消', 'Qt\'s own button reads %r' % d['cancel']['text'])
    dwid = s.wait_window('印表機設定')
    s.screenshot('zh-printer-setup', 'root')
    s.click_at(*d['cancel']['at'])
    s.wait_gone(dwid)
    s.close_app()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--program', required=True)
    ap.add_argument('--screens', required=True)
    args = ap.parse_args()
    s = SetupSession(args.program, args.screens)
    cups = Cups(s.tmp)

    def body():
        s.start_xvfb()
        try:
            cups.start()
            english(s, cups)
        except Skip as why:
            print('the printing part is skipped:', why)
        chinese(s)

    return run_session(s, body, args.screens, after=(cups.stop,))


if __name__ == '__main__':
    sys.exit(main())
