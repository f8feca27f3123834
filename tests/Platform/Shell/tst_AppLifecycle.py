#!/usr/bin/python3
"""Molvane's life as a phone shell sees it: one process however often it is launched, links and
activation handed to the running window, and how long it lives once its window is closed.

The test runs the built program on headless phoc, watches and closes its window from outside,
reads its controls through the accessibility bus and stands in for the notification service.
Run it under dbus-run-session:
    tst_AppLifecycle.py BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile
import threading
import time

import dbus
import pyatspi

source_dir = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__)))))
# The source tree stays as checked out.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(source_dir, 'tests', 'support'))
from atspi_app import (act, descendants, expect_number, number_shown,  # noqa: E402
                       print_showing, read, showing, states, the_application, wait_for,
                       wait_until)

APP_ID = 'org.molvane.Molvane'
build_dir = sys.argv[1]
program = os.path.join(build_dir, 'molvane')
base = tempfile.mkdtemp(prefix='molvane-lifecycle-')
runtime = os.path.join(base, 'run')
os.mkdir(runtime, 0o700)
notifications_log = os.path.join(base, 'notifications.log')
session_bus = dbus.SessionBus()
bus_daemon = dbus.Interface(session_bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus'),
                            'org.freedesktop.DBus')
# Clients of the compositor: the program and the window tool.
client_env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY='wayland-0',
                  QT_QPA_PLATFORM='wayland')
client_env.pop('DISPLAY', None)
for name in ('XDG_ACTIVATION_TOKEN', 'DESKTOP_STARTUP_ID'):
    client_env.pop(name, None)
services = []
launched = []


class Case:
    """A home of the program's own, and the processes the case launched in it."""

    def __init__(self, name):
        self.home = os.path.join(base, name)
        os.makedirs(os.path.join(self.home, 'config', 'molvane'))
        self.env = dict(client_env, HOME=self.home,
                        XDG_CONFIG_HOME=os.path.join(self.home, 'config'),
                        XDG_DATA_HOME=os.path.join(self.home, 'data'),
                        XDG_CACHE_HOME=os.path.join(self.home, 'cache'),
                        # No modem service on a bus of our own: the simulated operator answers.
                        DBUS_SYSTEM_BUS_ADDRESS=os.environ['DBUS_SESSION_BUS_ADDRESS'],
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1',
                        QT_LOGGING_RULES='molvane=true')
        self.count = 0

    def launch(self, *arguments, **extra_env):
        self.count += 1
        log = open(os.path.join(self.home, f'launch{self.count}.log'), 'w')
        child = subprocess.Popen([program, *arguments], env=dict(self.env, **extra_env),
                                 stdout=log, stderr=subprocess.STDOUT)
        child.log = log.name
        launched.append(child)
        return child

    def run(self, *command, **extra_env):
        """A command that must end by itself, successfully."""
        done = subprocess.run(command, env=dict(self.env, **extra_env), timeout=30,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        assert done.returncode == 0, f'{command} ended with {done.returncode}: {done.stdout}'
        return done.stdout

    def prefer(self, text):
        with open(os.path.join(self.home, 'config', 'molvane', 'preferences.ini'), 'w') as file:
            file.write(text)


def toplevels(*arguments):
    done = subprocess.run([os.path.join(build_dir, 'tests', 'toplevels'), *arguments],
                          env=client_env, timeout=40, stdout=subprocess.PIPE, text=True)
    return done.returncode, done.stdout


def windows():
    """Our app's windows as app id, activated (1 or 0) and title."""
    return [line for line in toplevels('list')[1].splitlines() if line.startswith(APP_ID + '\t')]


def expect_window(state):
    status, seen = toplevels('wait', APP_ID, state)
    assert status == 0, f'the window is not {state}; seen meanwhile:\n{seen}'


def close_window():
    assert toplevels('close', APP_ID)[0] == 0, 'there is no window to close'


def primary():
    if not bus_daemon.NameHasOwner(APP_ID):
        return None
    return int(bus_daemon.GetConnectionUnixProcessID(APP_ID))


def started(child):
    """The launch owns the name and shows its window."""
    wait_until(lambda: primary() == child.pid, f'process {child.pid} owns {APP_ID}', timeout=30)
    expect_window('present')
    return child


def ends_well(child, what):
    try:
        status = child.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise AssertionError(f'{what}: process {child.pid} is still running')
    assert status == 0, f'{what}: process {child.pid} ended with {status}'


def closed_and_gone(child):
    close_window()
    ends_well(child, 'closed with nothing awaited')
    wait_until(lambda: primary() is None, f'{APP_ID} is released')


def one_instance(case):
    first = started(case.launch())
    ends_well(case.launch(), 'a second launch')
    assert first.poll() is None, 'the first launch ended with the second'
    closed_and_gone(first)

    crowd = [case.launch() for _ in range(6)]
    wait_until(lambda: primary() is not None, f'one of six owns {APP_ID}', timeout=30)
    owner = next((child for child in crowd if child.pid == primary()), None)
    assert owner is not None, f'{APP_ID} is owned by {primary()}, none of {[c.pid for c in crowd]}'
    for child in crowd:
        if child is not owner:
            ends_well(child, 'one of six launches at once')
    expect_window('present')
    assert owner.poll() is None, 'the process that owns the name ended'
    assert len(windows()) == 1, f'windows: {windows()}'
    closed_and_gone(owner)


def alone_without_a_session_bus(case):
    """With no session bus to be one instance on, every launch runs, and says why."""
    launches = [case.launch(DBUS_SESSION_BUS_ADDRESS='unix:path=' + os.path.join(base, 'no-bus'))
                for _ in range(2)]
    wait_until(lambda: len(windows()) == 2, 'both launches show their window')
    for launch in launches:
        assert read(launch.log).count('No session bus') == 1, read(launch.log)
    close_window()
    for launch in launches:
        ends_well(launch, 'closed')


def links_reach_the_window(case):
    first = started(case.launch())
    app = the_application(first.pid)
    case.run('gapplication', 'launch', APP_ID)
    for launch, number in ((['gapplication', 'launch', APP_ID, 'tel:+7-916-123-45-67'],
                            '+79161234567'),
                           ([program, 'tel:%2B7(916)000-11-22;phone-context=example.com'],
                            '+79160001122')):
        case.run(*launch)
        expect_number(app, number)
    case.run(program, 'tel:abc')
    wait_for(app, 'label', 'The link holds no number to call')
    assert number_shown(app) == '+79160001122', 'a link without a number changed the number'
    assert 'Dialling Number is' not in read(first.log), 'a link was dialled'
    assert len(windows()) == 1, f'windows: {windows()}'
    closed_and_gone(first)


def token_raises_window(case):
    # Each way a launcher hands its token on, to a window that mapped without focus.
    for variable in ('XDG_ACTIVATION_TOKEN', 'DESKTOP_STARTUP_ID'):
        first = started(case.launch())
        assert [line.split('\t')[1] for line in windows()] == ['0'], f'windows: {windows()}'
        status, token = toplevels('token')
        assert status == 0 and token.strip(), 'the compositor gave no token'
        ends_well(case.launch(**{variable: token.strip()}), f'a launch with {variable}')
        expect_window('activated')
        closed_and_gone(first)


def close_quits(case):
    first = started(case.launch())
    close_window()
    ends_well(first, 'closed with nothing awaited')
    status, _ = toplevels('wait', APP_ID, 'gone')
    assert status == 0, 'the window stayed'


def waiting_notices():
    return [line for line in read(notifications_log).splitlines()
            if ' Notify ' in line and "Waiting for the operator's callback" in line]


def request(case, preferences, call='Call'):
    """The program started with the preferences, and a callback for 12 requested on it."""
    case.prefer(preferences)
    first = started(case.launch())
    app = the_application(first.pid, call)
    for key in '12':
        act(wait_for(app, 'push button', key), 'Press')
    expect_number(app, '12')
    act(wait_for(app, 'push button', call), 'Press')
    wait_until(lambda: 'Dialling Number is' in read(first.log), 'the request goes out')
    return first, app


def request_then_close(case):
    """A callback requested with auto-answer on, then the window closed: the notice shows."""
    notices = len(waiting_notices())
    first, app = request(case, 'enable_autoanswer=true\n')
    close_window()
    wait_until(lambda: len(waiting_notices()) > notices, 'the waiting notification shows')
    assert first.poll() is None, f'closed while waiting, it ended with {first.returncode}'
    assert '["cancel", "Cancel"]' in waiting_notices()[-1], waiting_notices()[-1]
    return first, app


def callback_brings_window_back(case):
    first, app = request_then_close(case)
    expect_window('present')
    assert first.poll() is None, f'back for the call, it ended with {first.returncode}'
    act(wait_for(app, 'push button', 'Hang up', timeout=20), 'Press')
    ends_well(first, 'the callback ended')


def cancel_while_waiting(case):
    first, _ = request_then_close(case)
    # The mock numbers its notifications from 1, each new one (replaces_id 0) taking the next.
    notices = [line for line in read(notifications_log).splitlines() if ' Notify ' in line]
    ident = sum(1 for line in notices if line.split(' ', 4)[3] == '0')
    mock = session_bus.get_object('org.freedesktop.Notifications', '/org/freedesktop/Notifications')
    mock.EmitSignal('', 'ActionInvoked', 'us', [dbus.UInt32(ident), 'cancel'],
                    dbus_interface='org.freedesktop.DBus.Mock')
    ends_well(first, 'Cancel in the notification')


class EmulatedModem:
    """Debian's ModemManager on a system bus of its own, in front of the emulated modem, whose
    received commands are gathered as they come."""

    def __init__(self):
        self.process = subprocess.Popen([os.path.join(build_dir, 'tests', 'emulated_modem')],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        services.append(self.process)
        ready = self.process.stdout.readline().split(' ', 1)
        assert ready[0] == 'bus', f'the emulated modem did not come up: {ready}'
        self.bus_address = ready[1].strip()
        self.commands = []
        threading.Thread(target=self.gather, daemon=True).start()

    def gather(self):
        for line in self.process.stdout:
            self.commands.append(line.strip().removeprefix('at '))

    def say(self, line):
        self.process.stdin.write(line + '\n')
        self.process.stdin.flush()

    def stop(self):
        self.process.stdin.close()
        self.process.wait()
        services.remove(self.process)


class AnswersAsked:
    """The calls whose answer is asked of the daemon, as its bus carries the requests. A waiting
    call refuses to be answered so, and never reaches the modem: only the bus shows the asking."""

    def __init__(self, bus_address):
        self.bus_address = bus_address
        self.paths = []
        self.monitor = subprocess.Popen(['dbus-monitor', '--address', bus_address, '--profile',
                                         "type='method_call',member='Accept'"],
                                        stdout=subprocess.PIPE, text=True)
        services.append(self.monitor)
        self.monitoring = False
        threading.Thread(target=self.gather, daemon=True).start()
        wait_until(lambda: self.monitoring, 'the bus monitor starts')

    def gather(self):
        for line in self.monitor.stdout:
            fields = line.split()
            # A monitor loses its own name once it monitors.
            self.monitoring = self.monitoring or fields[-1:] == ['NameLost']
            if fields and fields[0] == 'mc':
                self.paths.append(fields[5])

    def fence(self):
        """Every request made before is seen."""
        subprocess.run(['dbus-send', '--address=' + self.bus_address, '--type=method_call',
                        '--dest=org.freedesktop.DBus', '/fence', 'org.molvane.Fence.Accept'], check=True)
        wait_until(lambda: '/fence' in self.paths, 'the bus monitor catches up')
        self.paths.remove('/fence')


def callback_answered_by_the_modem(case):
    modem = EmulatedModem()
    try:
        case.env['DBUS_SYSTEM_BUS_ADDRESS'] = modem.bus_address
        first, _ = request_then_close(case)
        wait_until(lambda: any(command.startswith('AT+CUSD=1') for command in modem.commands),
                   'the modem sends the request')
        answers = AnswersAsked(modem.bus_address)
        modem.say('ring +74950000146')
        wait_until(lambda: 'ATA' in modem.commands, 'the modem is told to answer', timeout=20)
        expect_window('present')
        # Closed again during the callback, a later caller waiting on the line is left alone.
        close_window()
        modem.say('ring +74951234567')
        wait_until(lambda: 'incoming +74951234567' in read(first.log), 'the later caller is seen',
                   timeout=20)
        # The daemon ends one call for each hang-up, the waiting one first.
        modem.say('hang-up')
        wait_until(lambda: 'disconnected +74951234567' in read(first.log), 'the later caller goes',
                   timeout=20)
        modem.say('hang-up')
        ends_well(first, 'the callback ended on the modem')
        answers.fence()
        assert len(answers.paths) == 1, f'more calls than the callback answered: {answers.paths}'
    finally:
        modem.stop()


def answer_and_decline_on_the_modem(case):
    """Without auto-answer the callback rings on the bar; its keys reach the modem, in either
    language."""
    modem = EmulatedModem()
    try:
        case.env['DBUS_SYSTEM_BUS_ADDRESS'] = modem.bus_address
        for language, call, key, command in (('english', 'Call', 'Answer', 'ATA'),
                                             ('russian', 'Вызов', 'Отклонить', 'AT+CHUP')):
            first, app = request(case, f'current_language={language}\n', call)
            modem.say('ring +74950000146')
            act(wait_for(app, 'push button', key, timeout=20), 'Press')
            wait_until(lambda: command in modem.commands, f'{key} reaches the modem as {command}')
            modem.say('hang-up')
            close_window()
            ends_well(first, 'closed after the call')
    finally:
        modem.stop()


CALL_LOG = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><array>
<dict><key>phone_number</key><string>+79161234567</string>
<key>phone_time</key><string>2026-12-01 at 10:00</string></dict>
</array></plist>
"""


def too_small_for_a_thumb(app, screen):
    """The showing controls that react to a tap and are under 44x44, as 'screen: role name WxH'.
    A scroll bar only shows where a list is: the list itself is dragged."""
    small = []
    for node in descendants(app):
        if (not showing(node) or node.queryAction().nActions == 0
                or node.getRoleName() == 'scroll bar'):
            continue
        extents = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        if extents.width < 44 or extents.height < 44:
            small.append(f'{screen}: {node.getRoleName()} {node.name!r} '
                         f'{extents.width}x{extents.height}')
    return small


def every_control_fits_a_thumb(case):
    """On a phone's 360x720 screen, every control of every tab, and of a page pushed on one, is at
    least 44x44."""
    os.makedirs(os.path.join(case.home, 'data', 'molvane'))
    with open(os.path.join(case.home, 'data', 'molvane', 'calllog.plist'), 'w') as file:
        file.write(CALL_LOG)
    first = started(case.launch())
    app = the_application(first.pid)
    small = []
    for tab in ('Dial Pad', 'Recent', 'Settings', 'More'):
        page = wait_for(app, 'page tab', tab)
        act(page, 'Press')
        wait_until(lambda: states(page).contains(pyatspi.STATE_SELECTED), f'{tab} is shown')
        small += too_small_for_a_thumb(app, tab)
    act(wait_for(app, 'list item', 'About'), 'Press')
    wait_for(app, 'push button', 'Back')
    small += too_small_for_a_thumb(app, 'About')
    closed_and_gone(first)
    assert not small, 'too small for a thumb:\n' + '\n'.join(small)


CASES = [one_instance, alone_without_a_session_bus, links_reach_the_window, token_raises_window, close_quits,
         callback_brings_window_back, cancel_while_waiting, callback_answered_by_the_modem,
         answer_and_decline_on_the_modem, every_control_fits_a_thumb]


def start_service(command, log_name, env=client_env):
    log = open(os.path.join(base, log_name), 'w')
    child = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT)
    services.append(child)
    return log.name


def start_phoc():
    config = os.path.join(base, 'phoc.ini')
    with open(config, 'w') as file:
        file.write('[output:HEADLESS-1]\nscale = 2\nmode = 720x1440\n')
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WLR_BACKENDS='headless',
               WLR_RENDERER='pixman', WLR_HEADLESS_OUTPUTS='1', WLR_LIBINPUT_NO_DEVICES='1',
               GSETTINGS_BACKEND='memory')
    env.pop('WAYLAND_DISPLAY', None)
    env.pop('DISPLAY', None)
    log = start_service(['phoc', '-C', config], 'phoc.log', env)
    # Said once the output is there, so a first window is laid out at its scale.
    wait_until(lambda: "Output 'HEADLESS-1' added" in read(log), 'phoc shows its output')


def main():
    start_phoc()
    subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'],
                     env=client_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start_service(['/usr/bin/python3', '-m', 'dbusmock', '--session', '--template',
                   'notification_daemon', '-l', notifications_log], 'notification-daemon.log')
    start_service(['/usr/bin/python3', '-m', 'dbusmock', '--session', '--template',
                   os.path.join(source_dir, 'tests', 'support', 'callaudiod_template.py')],
                  'callaudiod.log')
    wait_until(lambda: bus_daemon.NameHasOwner('org.freedesktop.Notifications'),
               'the notification service is there')
    failed = []
    for case_function in CASES:
        case = Case(case_function.__name__)
        begun = time.monotonic()
        try:
            case_function(case)
            print(f'PASS {case_function.__name__} ({time.monotonic() - begun:.1f} s)', flush=True)
        except AssertionError as error:
            print('FAIL', case_function.__name__ + ':', error, flush=True)
            failed.append(case_function.__name__)
            print('windows:', windows())
            for child in launched:
                if child.poll() is None:
                    app = find_app(child.pid)
                    if app:
                        print(f'What process {child.pid} shows:')
                        print_showing(app)
            for child in launched:
                print(f'--- process {child.pid}, ended with {child.poll()}:')
                print(read(child.log)[-3000:])
            print('--- notifications:\n' + read(notifications_log)[-2000:])
        stop_launched()
    return 1 if failed else 0


def find_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app is not None and app.get_process_id() == pid), None)


def stop_launched():
    while launched:
        child = launched.pop()
        if child.poll() is None:
            child.terminate()
            child.wait()


try:
    status = main()
finally:
    stop_launched()
    for service in reversed(services):
        service.terminate()
        service.wait()
sys.exit(status)
