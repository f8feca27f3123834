'''ModemManager mock: one modem with voice calls and, optionally, USSD.

Parameters:
  voice       export Modem.Voice from the start (default true; see AddVoice)
  ussd        export Modem.Modem3gpp.Ussd (default false)
  ussd_reply  what Ussd.Initiate answers (default "Request accepted")
  ussd_error  the D-Bus error Ussd.Initiate fails with instead, when given
'''

import dbus
from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = 'org.freedesktop.ModemManager1'
MAIN_OBJ = '/org/freedesktop/ModemManager1'
MAIN_IFACE = 'org.freedesktop.ModemManager1'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

MODEM_PATH = MAIN_OBJ + '/Modem/0'
MODEM_IFACE = MAIN_IFACE + '.Modem'
VOICE_IFACE = MAIN_IFACE + '.Modem.Voice'
USSD_IFACE = MAIN_IFACE + '.Modem.Modem3gpp.Ussd'
CALL_IFACE = MAIN_IFACE + '.Call'
CORE_ERROR = MAIN_IFACE + '.Error.Core.'

# MMCallState
UNKNOWN, DIALING, RINGING_OUT, RINGING_IN, ACTIVE, HELD, WAITING, TERMINATED = range(8)
# MMCallStateReason
OUTGOING_STARTED, INCOMING_NEW, ACCEPTED, TERMINATED_REASON = 1, 2, 3, 4
# MMCallDirection
INCOMING, OUTGOING = 1, 2
MODEM_STATE_REGISTERED = 8


def load(mock, parameters):
    mock.calls_made = 0
    # Like ModemManager, list the modems only, not their calls.
    mock.AddMethod(mockobject.OBJECT_MANAGER_IFACE, 'GetManagedObjects', '', 'a{oa{sa{sv}}}',
                   lambda self: {dbus.ObjectPath(path): modem.props
                                 for path, modem in mockobject.objects.items()
                                 if path.startswith(MAIN_OBJ + '/Modem/')})
    mock.AddObject(MODEM_PATH, MODEM_IFACE, {
        'State': dbus.Int32(MODEM_STATE_REGISTERED),
        'Manufacturer': 'Mock',
        'Model': 'Voice modem',
    }, [])
    modem = mockobject.objects[MODEM_PATH]
    if parameters.get('voice', True):
        add_voice(mock, modem)
    if parameters.get('ussd', False):
        add_ussd(modem, parameters.get('ussd_reply', 'Request accepted'),
                 parameters.get('ussd_error'))


def error(name, message):
    return dbus.exceptions.DBusException(message, name=CORE_ERROR + name)


def add_voice(mock, modem):
    modem.AddProperties(VOICE_IFACE, {
        'Calls': dbus.Array([], signature='o'),
        'EmergencyOnly': False,
    })
    modem.AddMethods(VOICE_IFACE, [
        ('CreateCall', 'a{sv}', 'o', lambda self, properties: create_call(mock, properties)),
        ('ListCalls', '', 'ao', lambda self: listed_calls()),
        ('DeleteCall', 'o', '', lambda self, path: delete_call(mock, path)),
        ('HangupAll', '', '', hang_up_all),
    ])


def add_ussd(modem, reply, refusal):
    modem.AddProperties(USSD_IFACE, {
        'State': dbus.UInt32(1),
        'NetworkNotification': '',
        'NetworkRequest': '',
    })

    def initiate(_self, _command):
        if refusal:
            raise dbus.exceptions.DBusException('USSD refused', name=refusal)
        return reply

    modem.AddMethods(USSD_IFACE, [
        ('Initiate', 's', 's', initiate),
        ('Respond', 's', 's', initiate),
        ('Cancel', '', '', ''),
    ])


def listed_calls():
    return list(mockobject.objects[MODEM_PATH].props[VOICE_IFACE]['Calls'])


def set_listed_calls(paths):
    mockobject.objects[MODEM_PATH].UpdateProperties(
        VOICE_IFACE, {'Calls': dbus.Array(paths, signature='o')})


def create_call(mock, properties):
    if not properties.get('number'):
        raise error('InvalidArgs', 'the call has no number')
    return add_call(mock, str(properties['number']), OUTGOING, UNKNOWN, 0)


def add_call(mock, number, direction, state, reason):
    mock.calls_made += 1
    path = dbus.ObjectPath(f'{MAIN_OBJ}/Call/{mock.calls_made}')
    mock.AddObject(path, CALL_IFACE, {
        'State': dbus.Int32(state),
        'StateReason': dbus.Int32(reason),
        'Direction': dbus.Int32(direction),
        'Number': dbus.String(number),
    }, [])
    call = mockobject.objects[path]
    call.AddMethods(CALL_IFACE, [
        ('Start', '', '', start),
        ('Accept', '', '', accept),
        ('Hangup', '', '', hang_up),
        ('SendDtmf', 's', '', ''),
    ])
    set_listed_calls(listed_calls() + [path])
    mockobject.objects[MODEM_PATH].EmitSignal(VOICE_IFACE, 'CallAdded', 'o', [path])
    return path


def call_property(call, name):
    return call.props[CALL_IFACE][name]


def change_state(call, state, reason):
    old = call_property(call, 'State')
    call.props[CALL_IFACE]['State'] = dbus.Int32(state)
    call.props[CALL_IFACE]['StateReason'] = dbus.Int32(reason)
    call.EmitSignal(CALL_IFACE, 'StateChanged', 'iiu', [old, state, reason])
    call.UpdateProperties(CALL_IFACE, {'State': dbus.Int32(state),
                                       'StateReason': dbus.Int32(reason)})


def start(call):
    if call_property(call, 'State') != UNKNOWN or call_property(call, 'Direction') != OUTGOING:
        raise error('WrongState', 'the call cannot be started')
    change_state(call, DIALING, OUTGOING_STARTED)


def accept(call):
    if call_property(call, 'State') != RINGING_IN:
        raise error('WrongState', 'the call is not ringing')
    change_state(call, ACTIVE, ACCEPTED)


def hang_up(call):
    if call_property(call, 'State') != TERMINATED:
        change_state(call, TERMINATED, TERMINATED_REASON)


def hang_up_all(_modem):
    for path in listed_calls():
        hang_up(mockobject.objects[path])


def delete_call(mock, path):
    if path not in listed_calls():
        raise error('NotFound', 'no such call')
    hang_up(mockobject.objects[path])
    set_listed_calls([listed for listed in listed_calls() if listed != path])
    mock.RemoveObject(path)
    mockobject.objects[MODEM_PATH].EmitSignal(VOICE_IFACE, 'CallDeleted', 'o', [path])


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='o')
def AddIncomingCall(self, number):
    '''A call comes in, already ringing; its number may be empty, to be set later.'''
    return add_call(self, number, INCOMING, RINGING_IN, INCOMING_NEW)


@dbus.service.method(MOCK_IFACE, in_signature='oiu', out_signature='')
def SetCallState(_self, path, state, reason):
    '''The network moves the call to another state (for example the other side hangs up).'''
    change_state(mockobject.objects[path], state, reason)


@dbus.service.method(MOCK_IFACE, in_signature='os', out_signature='')
def SetCallNumber(_self, path, number):
    '''The caller's number becomes known.'''
    mockobject.objects[path].UpdateProperties(CALL_IFACE, {'Number': dbus.String(number)})


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='')
def AddVoice(self):
    '''The modem gains Modem.Voice, as it does once it is enabled.'''
    modem = mockobject.objects[MODEM_PATH]
    add_voice(self, modem)
    self.EmitSignal(mockobject.OBJECT_MANAGER_IFACE, 'InterfacesAdded', 'oa{sa{sv}}',
                    [dbus.ObjectPath(MODEM_PATH), {VOICE_IFACE: modem.props[VOICE_IFACE]}])


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='')
def RemoveModem(self):
    '''The modem is unplugged.'''
    interfaces = list(mockobject.objects[MODEM_PATH].props.keys())
    self.RemoveObject(MODEM_PATH)
    self.EmitSignal(mockobject.OBJECT_MANAGER_IFACE, 'InterfacesRemoved', 'oas',
                    [dbus.ObjectPath(MODEM_PATH), dbus.Array(interfaces, signature='s')])
