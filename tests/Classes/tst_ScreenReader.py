#!/usr/bin/python3
"""Molvane driven through the accessibility bus, as a screen reader drives it: every control is
found by its role and accessible name and worked by its own accessible action, never by a click,
and each effect is checked where it lands (the stored preference, the call log, the names the
screens show).

The test starts its own session bus (run it under dbus-run-session), headless Weston and the
accessibility bus; the program runs with accessibility on and a home of its own.
    tst_ScreenReader.py BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile

import pyatspi

source_dir = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The source tree stays as checked out.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(source_dir, 'tests', 'support'))
from atspi_app import (act, descendants, expect_number, find, press, print_showing,  # noqa: E402
                       read, shown_text, states, the_application, wait_for, wait_until)

build_dir = sys.argv[1]
home = tempfile.mkdtemp(prefix='molvane-screen-reader-')
runtime = os.path.join(home, 'run')
os.mkdir(runtime, 0o700)
env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime,
           XDG_CONFIG_HOME=os.path.join(home, 'config'), XDG_DATA_HOME=os.path.join(home, 'data'),
           # No modem service on a bus of our own: the simulated operator answers.
           DBUS_SYSTEM_BUS_ADDRESS=os.environ['DBUS_SESSION_BUS_ADDRESS'],
           WAYLAND_DISPLAY='screen-reader', QT_QPA_PLATFORM='wayland',
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1',
           # Requests are counted by their diagnostic lines.
           QT_LOGGING_RULES='molvane=true',
           # Contacts from a file of our own, not the session's address book.
           MOLVANE_ADDRESS_BOOK='sqlite')
env.pop('DISPLAY', None)
children = []

PEOPLE = """BEGIN:VCARD
VERSION:3.0
FN:Anna Single
TEL;TYPE=CELL:+7 916 111-22-33
END:VCARD
BEGIN:VCARD
VERSION:3.0
FN:Boris Double
TEL;TYPE=HOME:84951234567
TEL;TYPE=CELL:+79169998877
END:VCARD
"""


def start(command, log_name):
    log = open(os.path.join(home, log_name), 'w')
    child = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT)
    children.append(child)
    return child


def call_log():
    return read(os.path.join(home, 'data', 'molvane', 'calllog.plist'))


def preferences():
    return read(os.path.join(home, 'config', 'molvane', 'preferences.ini'))


def requests_sent():
    return read(os.path.join(home, 'app.log')).count('Dialling Number is :')


def selected_tab(root):
    tabs = [tab for tab in descendants(root) if tab.getRoleName() == 'page tab']
    return [tab.name for tab in tabs if states(tab).contains(pyatspi.STATE_SELECTED)]


def open_tab(root, name):
    press(root, 'page tab', name)
    wait_until(lambda: selected_tab(root) == [name], f'{name!r} is the one selected tab')


def dial_pad_keys_and_request(app):
    for key in '123':
        press(app, 'push button', key)
    expect_number(app, '123')
    press(app, 'push button', 'Delete')
    expect_number(app, '12')
    press(app, 'push button', 'Call')
    wait_until(lambda: '<string>12</string>' in call_log(), 'the request is in the call log')
    expect_number(app, '')


def recent_call_again(app):
    open_tab(app, 'Recent')
    row = wait_for(app, 'list item', '12')
    act(row, 'Press')
    press(row, 'push button', 'Call again')
    wait_until(lambda: selected_tab(app) == ['Dial Pad'], 'the dial pad is back')
    wait_until(lambda: requests_sent() == 2, 'the logged number is requested again')


def settings_switches_store(app):
    open_tab(app, 'Settings')
    for caption, key in (('Autoanswer', 'enable_autoanswer'),
                         ('Enable Keypad tone:', 'keypad_tone')):
        switch = wait_for(app, 'check box', caption)
        was_on = states(switch).contains(pyatspi.STATE_CHECKED)
        act(switch, 'Toggle')
        wait_until(lambda: states(switch).contains(pyatspi.STATE_CHECKED) != was_on,
                   f'{caption!r} says it changed')
        stored = f'{key}={"false" if was_on else "true"}'
        wait_until(lambda: stored in preferences(), f'{stored} is stored')
    # Back as they were, so that later requests are not held for a callback.
    for caption in ('Autoanswer', 'Enable Keypad tone:'):
        act(wait_for(app, 'check box', caption), 'Toggle')


def language_segment_translates(app):
    act(wait_for(app, 'check box', 'Russian'), 'Toggle')
    wait_until(lambda: 'current_language=russian' in preferences(), 'Russian is stored')
    for tab in ('Клавиатура', 'Последние', 'Настройки', 'Подробнее'):
        wait_for(app, 'page tab', tab)
    open_tab(app, 'Клавиатура')
    for control in ('Вызов', 'Удалить', 'Контакты', 'Изменить номер'):
        wait_for(app, 'push button', control)


def more_rows_open_screens(app):
    open_tab(app, 'Подробнее')
    act(wait_for(app, 'list item', 'О программе'), 'Press')
    wait_until(lambda: 'Телефония: Имитация оператора' in shown_text(app),
               'About names the telephony in Russian')
    press(app, 'push button', 'Назад')
    wait_for(app, 'list item', 'О программе')


# First, before any request: a callback ringing clears the number, as every call event does.
def picker_people_and_numbers(app):
    press(app, 'push button', 'Contacts')
    act(wait_for(app, 'list item', 'Anna Single'), 'Press')
    expect_number(app, '+7 916 111-22-33')
    press(app, 'push button', 'Contacts')
    act(wait_for(app, 'list item', 'Boris Double'), 'Press')
    act(wait_for(app, 'list item', '+79169998877, Mobile'), 'Press')
    expect_number(app, '+79169998877')
    wait_until(lambda: find(app, 'list item', '84951234567, Home') is None, 'the number list closes')
    # A press takes a moment on screen; one made meanwhile would be lost.
    for left in range(len('+79169998877') - 1, -1, -1):
        press(app, 'push button', 'Delete')
        expect_number(app, '+79169998877'[:left])


def callback_declined(app):
    """The last request's callback rings, on the bar, and is declined there: it neither interrupts
    later screens nor rings on until auto-answer comes on."""
    wait_until(lambda: read(os.path.join(home, 'app.log')).count(' incoming ') >= requests_sent(),
               'the callback rings')
    press(app, 'push button', 'Decline')
    wait_until(lambda: find(app, 'push button', 'Decline') is None, 'the offer goes')


def in_call_bar(app):
    open_tab(app, 'Настройки')
    act(wait_for(app, 'check box', 'Автоответчик'), 'Toggle')
    wait_until(lambda: 'enable_autoanswer=true' in preferences(), 'auto-answer is stored')
    open_tab(app, 'Клавиатура')
    press(app, 'push button', '5')
    expect_number(app, '5')
    press(app, 'push button', 'Вызов')
    # The simulated operator rings back a few seconds later, and the call is answered.
    hang_up = wait_for(app, 'push button', 'Завершить')
    for toggle in ('Динамик', 'Без звука'):
        control = wait_for(app, 'check box', toggle)
        act(control, 'Toggle')
        wait_until(lambda: states(control).contains(pyatspi.STATE_CHECKED), f'{toggle!r} is on')
    act(hang_up, 'Press')
    wait_until(lambda: find(app, 'push button', 'Завершить') is None, 'the bar goes')


CASES = [picker_people_and_numbers, dial_pad_keys_and_request, callback_declined,
         recent_call_again, callback_declined, settings_switches_store,
         language_segment_translates, more_rows_open_screens, in_call_bar]


def main():
    contacts = os.path.join(home, 'people.vcf')
    with open(contacts, 'w', encoding='utf-8') as file:
        file.write(PEOPLE)
    subprocess.run([os.path.join(build_dir, 'molvane'), '--import-contacts', contacts], env=env,
                   check=True, stdout=subprocess.DEVNULL)
    start(['weston', '--backend=headless-backend.so', '--shell=kiosk-shell.so', '--no-config',
           '--socket=screen-reader', '--idle-time=0'], 'weston.log')
    wait_until(lambda: os.path.exists(os.path.join(runtime, 'screen-reader')), 'Weston listens')
    subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'], env=env,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start(['/usr/bin/python3', '-m', 'dbusmock', '--session', '--template',
           os.path.join(source_dir, 'tests', 'support', 'callaudiod_template.py')], 'callaudiod.log')
    program = start([os.path.join(build_dir, 'molvane')], 'app.log')
    app = the_application()
    failed = False
    for case in CASES:
        try:
            case(app)
            print('PASS', case.__name__)
        except AssertionError as error:
            print('FAIL', case.__name__ + ':', error)
            failed = True
            break
        if program.poll() is not None:
            print('FAIL', case.__name__ + ': the program ended with', program.returncode)
            failed = True
            break
    if failed:
        print('What the screen reader saw:')
        print_showing(app)
        print(read(os.path.join(home, 'app.log'))[-3000:])
    return 1 if failed else 0


try:
    status = main()
finally:
    for child in reversed(children):
        child.terminate()
        child.wait()
sys.exit(status)
