#pragma once

#include "support/DBusMock.h"

#include <QCoreApplication>
#include <QDBusObjectPath>

// dbusmock's own oFono, with modem /ril_0 unless the parameters say "no_modem", mended where it
// falls short of oFono: its calls could not be answered, and a hung-up call never announced
// its removal. The network's side (incoming calls, state changes, remote hang-ups) is added
// as control methods on the modem.
class OfonoMock : public DBusMock
{
public:
    static inline const QString modem = "/ril_0";

    explicit OfonoMock(const QVariantMap &parameters = {})
        : DBusMock("org.ofono", "ofono", parameters),
          hasModem(!parameters.value("no_modem").toBool())
    {
    }

    // The modem takes service codes, and the network answers each with the reply, leaving the
    // session in the state given ("user-response" keeps it open until Cancel).
    void offerSupplementaryServices(const QString &reply, const QString &stateAfter = "idle") const
    {
        const QString interface = "org.ofono.SupplementaryServices";
        control(modem, "AddProperty",
                {interface, "State", QVariant::fromValue(QDBusVariant("idle"))});
        addMethod(modem, interface, "GetProperties", "", "a{sv}",
                  QString("ret = self.GetAll('%1')").arg(interface));
        addMethod(modem, interface, "Initiate", "s", "sv",
                  QString("if self.props['%1']['State'] != 'idle':\n"
                          "    raise dbus.exceptions.DBusException('Operation already in "
                          "progress', name='org.ofono.Error.InProgress')\n"
                          "self.props['%1']['State'] = dbus.String(%2, variant_level=1)\n"
                          "ret = ('USSD', dbus.String(%3, variant_level=1))")
                      .arg(interface, pythonString(stateAfter), pythonString(reply)));
        addMethod(modem, interface, "Cancel", "", "",
                  QString("self.props['%1']['State'] = dbus.String('idle', variant_level=1)")
                      .arg(interface));
    }
    // Back to the modem the template makes, as if just started, with no call recorded.
    void reset()
    {
        control("/", "Reset", {});
        prepare();
        // What the mock was asked before may still be on its way here.
        QCoreApplication::processEvents();
        calls.clear();
    }
    QString addIncomingCall(const QString &number) const
    {
        return control(modem, "AddIncomingCall", {number})
            .arguments()
            .value(0)
            .value<QDBusObjectPath>()
            .path();
    }
    void setCallState(const QString &call, const QString &state) const
    {
        control(modem, "SetCallState", {QVariant::fromValue(QDBusObjectPath(call)), state});
    }
    void hangUpRemotely(const QString &call) const
    {
        control(modem, "HangUpCall", {QVariant::fromValue(QDBusObjectPath(call))});
    }

protected:
    void prepare() override
    {
        if (!hasModem)
            return;
        addMethod(modem, mockInterface, "SetCallState", "os", "",
                  setStateCode("objects[args[0]]", "args[1]"));
        addMethod(modem, mockInterface, "HangUpCall", "o", "", endCallCode("objects[args[0]]"));
        addMethod(modem, mockInterface, "AddIncomingCall", "s", "o", addIncomingCallCode());
    }

private:
    static QString setStateCode(const QString &call, const QString &state)
    {
        return QString("call = %1\n"
                       "state = dbus.String(%2, variant_level=1)\n"
                       "call.props['org.ofono.VoiceCall']['State'] = state\n"
                       "call.EmitSignal('org.ofono.VoiceCall', 'PropertyChanged', 'sv', "
                       "['State', state])\n")
            .arg(call, state);
    }

    static QString endCallCode(const QString &call)
    {
        return setStateCode(call, "'disconnected'") +
               "modem = objects['/ril_0']\n"
               "modem.calls.remove(call._object_path)\n"
               "modem.RemoveObject(call._object_path)\n"
               "modem.EmitSignal('org.ofono.VoiceCallManager', 'CallRemoved', 'o', "
               "[call._object_path])\n";
    }

    // Its paths differ from those Dial gives, which Dial reuses.
    static QString addIncomingCallCode()
    {
        const QString answer = "if self.props['org.ofono.VoiceCall']['State'] != 'incoming':\n"
                               "    raise dbus.exceptions.DBusException('not ringing', "
                               "name='org.ofono.Error.Failed')\n" +
                               setStateCode("self", "'active'");
        return QString("self.incoming_made = getattr(self, 'incoming_made', 0) + 1\n"
                       "path = '/ril_0/incoming%d' % self.incoming_made\n"
                       "self.AddObject(path, 'org.ofono.VoiceCall', {\n"
                       "    'State': dbus.String('incoming', variant_level=1),\n"
                       "    'LineIdentification': dbus.String(args[0], variant_level=1)}, [\n"
                       "    ('GetProperties', '', 'a{sv}', 'ret = "
                       "self.GetAll(\"org.ofono.VoiceCall\")'),\n"
                       "    ('Answer', '', '', %1),\n"
                       "    ('Hangup', '', '', %2)])\n"
                       "self.calls.append(path)\n"
                       "self.EmitSignal('org.ofono.VoiceCallManager', 'CallAdded', 'oa{sv}', "
                       "[path, objects[path].GetAll('org.ofono.VoiceCall')])\n"
                       "ret = path\n")
            .arg(pythonString(answer), pythonString(endCallCode("self")));
    }

    bool hasModem;
};
