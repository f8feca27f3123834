"""The running program seen through the accessibility bus: controls found by role and accessible
name, worked by their own accessible actions, and waits on what they show."""
import time

import pyatspi


def read(path):
    """A file's text; empty while it does not exist."""
    try:
        with open(path, encoding='utf-8') as file:
            return file.read()
    except FileNotFoundError:
        return ''


def wait_until(condition, what, timeout=15):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            if condition():
                return
        except Exception:  # the tree changes under us while screens switch
            pass
        time.sleep(0.05)
    raise AssertionError('timed out waiting until ' + what)


def states(node):
    return node.getState()


def showing(node):
    return states(node).contains(pyatspi.STATE_SHOWING)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def find(root, role, name=None, description=None):
    """The first showing node with this role (and name or description), or None."""
    for node in descendants(root):
        if (node.getRoleName() == role and (name is None or node.name == name)
                and (description is None or node.description == description)
                and showing(node)):
            return node
    return None


def wait_for(root, role, name=None, description=None, timeout=15):
    found = []
    wait_until(lambda: found.append(find(root, role, name, description)) or found[-1],
               f'a {role} named {name!r} shows', timeout)
    return found[-1]


def act(node, action):
    actions = node.queryAction()
    names = [actions.getName(index) for index in range(actions.nActions)]
    assert action in names, f'{node.getRoleName()} {node.name!r} offers {names}, not {action}'
    actions.doAction(names.index(action))


def press(root, role, name):
    act(wait_for(root, role, name), 'Press')


def number_shown(root):
    described = [find(root, 'label', description=what) for what in ('Number', 'Номер')]
    return next(label for label in described if label).name


def expect_number(root, number):
    wait_until(lambda: number_shown(root) == number, f'the number label reads {number!r}')


def shown_text(root):
    return '\n'.join(node.name for node in descendants(root) if showing(node))


def print_showing(node, depth=0):
    for child in node:
        if child is not None and showing(child):
            print('  ' * depth + f'{child.getRoleName()} {child.name!r} {child.description!r}')
            print_showing(child, depth + 1)


def the_application(pid=None, call='Call'):
    """The program (the one with that process id, when given) once its dial pad shows its call
    key, named in the screen's language."""
    found = []

    def listed():
        desktop = pyatspi.Registry.getDesktop(0)
        found[:] = [app for app in desktop if app is not None and app.name == 'molvane'
                    and (pid is None or app.get_process_id() == pid)
                    and find(app, 'push button', call)]
        return found
    wait_until(listed, 'the program shows its dial pad to the accessibility bus', timeout=60)
    # Without a main loop no change events reach us; every read goes to the program instead.
    found[0].set_cache_mask(pyatspi.Atspi.Cache.NONE)
    return found[0]
