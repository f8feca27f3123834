"""A stand-in for the desktop's settings portal on the session bus. It tells the colour scheme
given as the parameter "color-scheme" (0 none, 1 dark, 2 light), wrapped twice as portals before
version 2 do; SetColorScheme changes it and signals the change."""

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.Settings"
SYSTEM_BUS = False

READ = """
if tuple(args) != ('org.freedesktop.appearance', 'color-scheme'):
    raise dbus.exceptions.DBusException('no such setting', name='org.freedesktop.portal.Error.NotFound')
ret = dbus.UInt32(self.color_scheme, variant_level=2)
"""

SET = """
self.color_scheme = args[0]
self.EmitSignal('org.freedesktop.portal.Settings', 'SettingChanged', 'ssv',
                ['org.freedesktop.appearance', 'color-scheme', dbus.UInt32(args[0])])
"""


def load(mock, parameters):
    mock.color_scheme = parameters.get("color-scheme", 0)
    mock.AddMethods(MAIN_IFACE, [("Read", "ss", "v", READ)])
    mock.AddMethods("org.freedesktop.DBus.Mock", [("SetColorScheme", "u", "", SET)])
