#!/usr/bin/python3
"""The wizard as a screen reader meets it, over AT-SPI.

Runs `tarnix edit` on a schema in one language on an X server of its own
(Xvfb) with Qt's AT-SPI bridge on, and, as a screen reader and a keyboard
user would:
  - walks the window and fails on any control a user can focus that has no
    name;
  - writes a rule with keys alone (filter, tree, completion list, value list,
    Check, OK),
    hearing each announcement as an event;
  - checks the exit status and the printed expression;
  - goes round the window with Tab and back with Shift+Tab, one control a
    press, in the order the README documents;
  - presses Check, OK and Cancel through their AT-SPI actions, as a screen
    reader's commands do, on wizards opened on a rule.

Run it inside `dbus-run-session`, so that the accessibility bus it starts is
its own. Usage: atspi_wizard.py TARNIX SCHEMA STRINGS_JSON LANGUAGE
"""

import json
import os
import sqlite3
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi, GLib  # noqa: E402

# Every wait is bounded by this; a step that does not come fails the run.
STEP_SECONDS = 8


class Failure(Exception):
    pass


class Wizard:
    def __init__(self, tarnix, schema, texts, language, extra=()):
        self.texts = texts
        self.language = language
        self.announcements = []
        self.focused = None
        self.xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', '1', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = self.xvfb.stdout.readline().decode().strip()
        if not display:
            raise Failure('Xvfb did not start')
        os.environ['DISPLAY'] = ':' + display
        env = dict(os.environ, QT_QPA_PLATFORM='xcb', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        self.listener = Atspi.EventListener.new(self._event)
        for event in ('object:state-changed:showing', 'object:state-changed:focused',
                      'object:property-change:accessible-name'):
            self.listener.register(event)
        self.app = subprocess.Popen(
            [tarnix, 'edit', '--schema', schema, '--language', str(language)] + list(extra),
            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.dialog = self.wait_for(self._find_dialog, 'the wizard on the accessibility bus')

    # -- events and waits --------------------------------------------------

    def _event(self, event):
        try:
            source = event.source
            role = source.get_role()
            if role == Atspi.Role.NOTIFICATION and event.type.startswith('object:state-changed:showing'):
                if event.detail1 == 1:
                    self.announcements.append(source.get_name())
            elif event.type.startswith('object:state-changed:focused') and event.detail1 == 1:
                self.focused = source
        except GLib.Error:
            pass  # an object gone before its event was read

    def pump(self):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def wait_for(self, probe, what, seconds=STEP_SECONDS):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.pump()
            found = probe()
            if found:
                return found
            if self.app.poll() is not None:
                raise Failure('tarnix ended (status %d) while waiting for %s: %s'
                              % (self.app.returncode, what, self.app.stderr.read().decode()))
            time.sleep(0.02)
        raise Failure('no %s within %d s' % (what, seconds))

    def _find_dialog(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or app.get_process_id() != self.app.pid:
                continue
            for j in range(app.get_child_count()):
                window = app.get_child_at_index(j)
                if window is not None and window.get_role() == Atspi.Role.DIALOG:
                    return window
        return None

    def alert(self):
        """The message box over the wizard, as a screen reader meets it."""
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            try:
                app = desktop.get_child_at_index(i)
                if app is None or app.get_process_id() != self.app.pid:
                    continue
            except GLib.Error:
                continue
            for j in range(app.get_child_count()):
                try:
                    window = app.get_child_at_index(j)
                    if (window is not None and window.get_role() == Atspi.Role.ALERT
                            and window.get_state_set().contains(Atspi.StateType.SHOWING)):
                        return window
                except GLib.Error:
                    # A window that went while it was asked: the closing box.
                    continue
        return None

    def check_passed(self):
        """Guided editing says a passed check in a message box, which a screen
        reader reads in full; the specified wizard only announces it."""
        correct = self.texts['correct']
        found = self.wait_for(lambda: self.alert() or next((a for a in self.announcements if a == correct), None),
                              'the passed check, said or shown')
        if isinstance(found, str):
            return
        if not any(correct in node.get_name() for node in self.walk(found)):
            raise Failure('the check\'s message box does not say "%s"' % correct)
        button = next((n for n in self.walk(found) if n.get_role() == Atspi.Role.PUSH_BUTTON), None)
        if button is None:
            raise Failure('the check\'s message box has no button')
        button.do_action(0)
        self.wait_for(lambda: self.alert() is None, 'the message box to close')
        # Without a window manager nobody gives the focus back to the wizard.
        self.focus_window()

    # -- what a screen reader reads ----------------------------------------

    def walk(self, node=None, depth=0):
        """Every object under the dialog, depth first (long lists cut short)."""
        node = node or self.dialog
        yield node
        count = node.get_child_count()
        if node.get_role() in (Atspi.Role.TREE, Atspi.Role.TREE_TABLE, Atspi.Role.TABLE, Atspi.Role.LIST):
            count = min(count, 40)
        for i in range(count):
            child = node.get_child_at_index(i)
            if child is not None and depth < 12:
                yield from self.walk(child, depth + 1)

    def unnamed_focusable(self):
        missing = []
        for node in self.walk():
            states = node.get_state_set()
            if (states.contains(Atspi.StateType.FOCUSABLE) and states.contains(Atspi.StateType.SHOWING)
                    and not node.get_name().strip()):
                missing.append('%s in %s' % (node.get_role_name(), node.get_parent().get_role_name()))
        return missing

    def named(self, role, name):
        for node in self.walk():
            if node.get_role() == role and node.get_name() == name:
                return node
        raise Failure('no %s named "%s"' % (Atspi.role_get_name(role), name))

    def focus_is(self, role, name=None):
        node = self.focused
        try:
            return node is not None and node.get_role() == role and (name is None or node.get_name() == name)
        except GLib.Error:
            # The focused object has gone, with the message box it was in.
            return False

    def heard(self, predicate, what):
        return self.wait_for(lambda: next((a for a in self.announcements if predicate(a)), None),
                             'announcement of ' + what)

    # -- a keyboard user ----------------------------------------------------

    def keys(self, *keys):
        subprocess.run(['xdotool', 'key', '--delay', '30'] + list(keys), check=True, timeout=STEP_SECONDS)
        self.pump()

    def type(self, text):
        subprocess.run(['xdotool', 'type', '--delay', '30', text], check=True, timeout=STEP_SECONDS)
        self.pump()

    def press_until_focused(self, key, role, name, most=12):
        for _ in range(most):
            if self.focus_is(role, name):
                return
            self.keys(key)
            try:
                self.wait_for(lambda: self.focus_is(role, name), 'focus', seconds=0.3)
            except Failure:
                continue
        if not self.focus_is(role, name):
            raise Failure('%s never brought the focus to %s "%s" (it is on %s "%s")'
                          % (key, Atspi.role_get_name(role), name,
                             self.focused.get_role_name() if self.focused else None,
                             self.focused.get_name() if self.focused else None))

    def find_variable(self, variable_id, caption):
        """Ctrl+F, the variable's ID typed in the filter, then Tab to the tree and
        Down to its row, as a keyboard user picks one variable out of many."""
        self.keys('ctrl+f')
        self.wait_for(lambda: self.focus_is(Atspi.Role.TEXT, self.texts['filter']), 'focus in the filter')
        self.type(variable_id)
        self.keys('Tab')
        self.press_until_focused('Down', Atspi.Role.TABLE_CELL, caption)

    def focus_window(self):
        # There is no window manager: the keyboard goes where X is told.
        windows = subprocess.run(['xdotool', 'search', '--sync', '--onlyvisible', '--pid', str(self.app.pid)],
                                 capture_output=True, text=True, timeout=STEP_SECONDS).stdout.split()
        if not windows:
            raise Failure('no visible window of tarnix')
        subprocess.run(['xdotool', 'windowfocus', windows[-1]], check=True, timeout=STEP_SECONDS)

    def press(self, role, name):
        """Presses a control through its AT-SPI action, as a screen reader's command does."""
        node = self.named(role, name)
        for i in range(Atspi.Action.get_n_actions(node)):
            # The untranslated name; the binding marks it deprecated in
            # favour of nothing this version offers.
            with warnings.catch_warnings():
                warnings.simplefilter('ignore', DeprecationWarning)
                name = Atspi.Action.get_action_name(node, i)
            if name == 'Press':
                Atspi.Action.do_action(node, i)
                self.pump()
                return
        raise Failure('%s "%s" has no Press action' % (Atspi.role_get_name(role), name))

    def ended(self):
        try:
            out, err = self.app.communicate(timeout=STEP_SECONDS)
        except subprocess.TimeoutExpired:
            raise Failure('the wizard did not end')
        return self.app.returncode, out.decode().strip(), err.decode()

    def close(self):
        if self.app.poll() is None:
            self.app.kill()
            self.app.wait()
        self.xvfb.kill()
        self.xvfb.wait()


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def run(wizard):
    t = wizard.texts
    # Every control a user can reach is named, in this language.
    missing = wizard.unnamed_focusable()
    if missing:
        raise Failure('unnamed focusable controls: ' + ', '.join(missing))
    script = wizard.named(Atspi.Role.TEXT, t['script'])
    wizard.named(Atspi.Role.TEXT, t['filter'])
    wizard.named(Atspi.Role.PUSH_BUTTON, t['check'])

    wizard.focus_window()
    # Filter to one variable, find it in the tree with the arrows, insert it.
    wizard.find_variable('ORD_AMOUNT', 'Amount')
    wizard.keys('Return')
    wizard.heard(lambda a: a.startswith(t['inserted']), 'the insertion')
    # On to the script; the completion list after "[" gives the second variable.
    wizard.press_until_focused('Tab', Atspi.Role.TEXT, t['script'])
    wizard.keys('ctrl+End')
    wizard.type(' > 100 And [Customer.Ci')
    wizard.wait_for(lambda: wizard.named(Atspi.Role.LIST, t['completion']).get_state_set().contains(
        Atspi.StateType.SHOWING), 'the completion list')
    wizard.keys('Return')
    wizard.type(' <> "Athens" And ')
    # The third variable from the filter again, its code from the value list.
    wizard.find_variable('ORD_STATUS', 'Status')
    wizard.keys('Return')
    wizard.press_until_focused('Tab', Atspi.Role.TEXT, t['script'])
    wizard.type(' = ')
    wizard.press_until_focused('Tab', Atspi.Role.PUSH_BUTTON, t['show_list'])
    wizard.keys('space')
    # Guided editing opens it on its search box; Down goes to the first row.
    wizard.wait_for(lambda: wizard.focus_is(Atspi.Role.TREE, t['value_list'])
                    or wizard.focus_is(Atspi.Role.TEXT, t['list_search']), 'focus in the value list')
    # The first row: Down selects it, Enter is OK.
    wizard.keys('Down', 'Return')
    wizard.heard(lambda a: a == t['inserted'] + ' 1', 'the code from the value list')
    # Without a window manager nobody gives the focus back to the wizard.
    wizard.focus_window()
    written = wizard.wait_for(lambda: text_of(script) if text_of(script).endswith('= 1') else None,
                              'the typed rule')
    # Check, by the keyboard, and hear it pass.
    wizard.press_until_focused('shift+Tab', Atspi.Role.PUSH_BUTTON, t['check'])
    wizard.keys('space')
    wizard.check_passed()
    # OK ends the wizard and prints the rule.
    wizard.press_until_focused('Tab', Atspi.Role.PUSH_BUTTON, t['ok'])
    wizard.keys('Return')
    status, printed, err = wizard.ended()
    if status != 0:
        raise Failure('tarnix ended with %d: %s' % (status, err))
    if printed != '[ORD_AMOUNT] > 100 And [CUST_CITY] <> "Athens" And [ORD_STATUS] = 1':
        raise Failure('printed "%s" for "%s"' % (printed, written))
    return written, printed


def focus_on(wizard, role, name):
    """The focus is on the control role/name, or on an entry of it (a tree
    says which entry has the focus)."""
    node = wizard.focused
    try:
        while node is not None:
            if node.get_role() == role and node.get_name() == name:
                return True
            if node.get_role() not in (Atspi.Role.TABLE_CELL, Atspi.Role.TREE_ITEM, Atspi.Role.LIST_ITEM):
                return False
            node = node.get_parent()
    except GLib.Error:
        pass
    return False


def tab_round(wizard):
    """Tab goes round the documented order, one control a press, and
    Shift+Tab the same way back, with real keys."""
    t = wizard.texts
    order = [(Atspi.Role.TEXT, t['filter']), (Atspi.Role.TREE, t['variables']), (Atspi.Role.TREE, t['functions']),
             (Atspi.Role.PUSH_BUTTON, t['check']), (Atspi.Role.TEXT, t['script']), (Atspi.Role.PUSH_BUTTON, t['ok']),
             (Atspi.Role.PUSH_BUTTON, t['cancel']), (Atspi.Role.PUSH_BUTTON, t['show_list'])]
    wizard.focus_window()
    # A variable with a value list first, so that the value-list button takes part.
    wizard.find_variable('ORD_STATUS', 'Status')
    show_list = wizard.named(Atspi.Role.PUSH_BUTTON, t['show_list'])
    wizard.wait_for(lambda: show_list.get_state_set().contains(Atspi.StateType.SENSITIVE), 'the value-list button')
    wizard.keys('ctrl+f')
    wizard.wait_for(lambda: focus_on(wizard, *order[0]), 'focus in the filter')
    for key, steps in (('Tab', order[1:] + order[:1]), ('shift+Tab', order[-1::-1])):
        for role, name in steps:
            wizard.keys(key)
            try:
                wizard.wait_for(lambda: focus_on(wizard, role, name), 'focus', seconds=2)
            except Failure:
                node = wizard.focused
                raise Failure('%s went to %s "%s", not %s "%s"'
                              % (key, node.get_role_name() if node else None, node.get_name() if node else None,
                                 Atspi.role_get_name(role), name))
    press_cancel(wizard)


def press_buttons(wizard, rule):
    """Check and OK pressed through AT-SPI on a wizard opened on rule."""
    t = wizard.texts
    wizard.press(Atspi.Role.PUSH_BUTTON, t['check'])
    wizard.check_passed()
    wizard.press(Atspi.Role.PUSH_BUTTON, t['ok'])
    status, printed, err = wizard.ended()
    if status != 0 or printed != rule:
        raise Failure('OK ended with %d and printed "%s" for "%s": %s' % (status, printed, rule, err))


def press_cancel(wizard):
    wizard.press(Atspi.Role.PUSH_BUTTON, wizard.texts['cancel'])
    status, printed, err = wizard.ended()
    if status != 1 or printed:
        raise Failure('Cancel ended with %d and printed "%s": %s' % (status, printed, err))


def value_lists():
    """The value lists the sample schema's view offers, in an SQLite file."""
    folder = tempfile.TemporaryDirectory()
    with sqlite3.connect(folder.name + '/lists.sqlite') as db:
        for table, rows in (('countries', [(300, 'Greece'), (276, 'Germany')]),
                            ('order_statuses', [(1, 'Open'), (2, 'Shipped')]),
                            ('products', [(10, 'Tea')])):
            db.execute('CREATE TABLE %s (code INTEGER, description TEXT)' % table)
            db.executemany('INSERT INTO %s VALUES (?, ?)' % table, rows)
    return folder


def main(argv):
    tarnix, schema, strings_path, language = argv[1], argv[2], argv[3], int(argv[4])
    with open(strings_path, encoding='utf-8') as f:
        strings = json.load(f)

    def text(number):
        return strings[str(number)][str(language)]

    texts = {'script': text(1301), 'filter': text(1302), 'completion': text(1303), 'check': text(9),
             'ok': text(4), 'cancel': text(5), 'show_list': text(8), 'value_list': text(1), 'list_search': text(1704), 'inserted': text(1307).split('%1')[0].strip(), 'correct': text(1308),
             'variables': text(17).rstrip(':'), 'functions': text(18).rstrip(':')}
    start = time.monotonic()
    rule = '[ORD_AMOUNT] > 100'
    lists = value_lists()
    scenarios = [('keys alone', ('--value-lists', lists.name + '/lists.sqlite'), run),
                 ('Check and OK through AT-SPI', ('--database-script', rule), lambda w: press_buttons(w, rule)),
                 ('Cancel through AT-SPI', ('--database-script', rule), press_cancel),
                 ('Tab round and back', ('--database-script', rule), tab_round)]
    heard = []
    for title, extra, scenario in scenarios:
        wizard = Wizard(tarnix, schema, texts, language, extra)
        try:
            outcome = scenario(wizard)
        except Failure as failure:
            print('FAIL (%d, %s): %s' % (language, title, failure))
            print('announcements heard: %s' % wizard.announcements)
            print('focus on: %s "%s"' % (wizard.focused.get_role_name() if wizard.focused else None,
                                        wizard.focused.get_name() if wizard.focused else None))
            return 1
        finally:
            wizard.close()
        heard += wizard.announcements
        if outcome:
            print('%s: wrote %s, printed %s' % (title, outcome[0], outcome[1]))
    print('PASS (%d) in %.1f s; heard %s' % (language, time.monotonic() - start, heard))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
