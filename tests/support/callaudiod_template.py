"""A stand-in for callaudiod on the session bus: every method succeeds and keeps its state."""

import dbus

BUS_NAME = "org.mobian_project.CallAudio"
MAIN_OBJ = "/org/mobian_project/CallAudio"
MAIN_IFACE = "org.mobian_project.CallAudio"
SYSTEM_BUS = False


def load(mock, parameters):
    mock.AddProperties(
        MAIN_IFACE,
        {
            "AudioMode": dbus.UInt32(255),
            "SpeakerState": dbus.UInt32(0),
            "MicState": dbus.UInt32(1),
        },
    )
    state = "self.props['%s']['%%s'] = dbus.UInt32(%%s)\nret = True" % MAIN_IFACE
    mock.AddMethods(
        MAIN_IFACE,
        [
            ("SelectMode", "u", "b", state % ("AudioMode", "args[0]")),
            ("EnableSpeaker", "b", "b", state % ("SpeakerState", "1 if args[0] else 0")),
            ("MuteMic", "b", "b", state % ("MicState", "0 if args[0] else 1")),
        ],
    )
