#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/ModemManagerBackend.h"
#include "Platform/Telephony/ModemManagerInterfaces.h"
#include "Platform/Telephony/OfonoBackend.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/AtModemEmulator.h"
#include "support/ModemManagerDaemon.h"
#include "support/OfonoMock.h"
#include "support/PrivateBus.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QPointer>
#include <QTimer>
#include <algorithm>

using namespace std::chrono_literals;

// Every backend is held to one contract: the same dial strings, met by the network in the same
// ways, give the same outcomes, reach the modem as the same requests and calls, and tell the
// app of the same calls. Where a backend cannot do what the network asks, its column says what
// it does instead.

namespace {
// What the network does with a service request.
enum class Requests
{
    Replied,            // it answers, and the session ends
    RepliedKeepingOpen, // it answers and waits for the user's response, as operator menus do
    NotTaken,           // the modem takes no service codes
    Terminated,         // the network turns the request down
};

// What becomes of a call the phone places.
enum class Calls
{
    Ring,              // the far end lets it ring
    AnsweredThenEnded, // the far end picks up, and hangs up once connected
    Refused,           // the modem or the network refuses the dial
    Forbidden,         // the telephony service does not let the app call
};

// What follows the request.
enum class Callback
{
    None,
    RingsBack,          // the number asked for rings back
    RingsWhileReplaced, // it rings back, and a modem appearing meanwhile takes over
};

struct Stimulus
{
    QStringList dials{}; // in turn, each once the one before has its outcome
    Requests requests = Requests::Replied;
    Calls calls = Calls::Ring;
    Callback callback = Callback::None;
    bool autoAnswer = false;  // the app answers whatever call it is told of, as auto-answer does
    bool hangUpHere = false;  // the app, not the far end, ends a call once connected
    bool serviceGone = false; // the telephony service stops before the first dial
};

struct Expected
{
    DialOutcome outcome = DialOutcome::sent(); // of every dial
    QStringList atModem{};                     // what reached the modem, in order
    QStringList replies{};                     // the network's replies the app was told
    QStringList calls{};                       // the events of each call the app was told of
};

struct Scenario
{
    const char *name;
    Stimulus stimulus;
    Expected simulated, modemManager, ofono;
};

const QString callbackCode = "*146*0079161234567#";
const QString nationalCallbackCode = "14679161234567#";
// The number a callback code asks for, which rings back.
const QString callbackNumber = "+79161234567";
const QString nationalCallbackNumber = "79161234567";
const QString reply = "We will call you back";
const QString menu = "Press 1 to confirm";
const QString cancel = "cancel";
const QString answer = "answer";
const QString hangUp = "hang up";

QString request(const QString &text)
{
    return "request " + text;
}

QString call(const QString &dialled)
{
    return "call " + dialled;
}

QString heardEvent(CTCallState state, const QString &party)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(CTCallStateName(state)), party);
}

// One call's events as the app hears them.
QString heard(const QString &party, const QList<CTCallState> &states)
{
    QStringList events;
    for (const CTCallState state : states)
        events << heardEvent(state, party);
    return events.join(", ");
}

// A line per call, in the order the calls were first heard of; a call ends with its
// disconnected event, so an identifier used again is a new call.
QStringList heardCalls(const QList<CTCall> &events)
{
    QStringList lines;
    QMap<QString, qsizetype> open;
    for (const CTCall &event : events) {
        const QString text = heardEvent(event.callState(), event.number());
        if (const auto found = open.find(event.callID()); found != open.end()) {
            lines[*found] += ", " + text;
        } else {
            open[event.callID()] = lines.size();
            lines << text;
        }
        if (event.callState() == CTCallStateDisconnected)
            open.remove(event.callID());
    }
    return lines;
}

constexpr CTCallState dialing = CTCallStateDialing;
constexpr CTCallState incoming = CTCallStateIncoming;
constexpr CTCallState connected = CTCallStateConnected;
constexpr CTCallState disconnected = CTCallStateDisconnected;

// The simulated operator has no service requests and no far end to play: it calls every string,
// ends that call itself, and rings back for a callback code until the ring times out, or, when
// answered, until the callback has lasted its time. A service it runs cannot stop.
const Scenario scenarios[] = {
    {"callback code replied",
     {.dials = {callbackCode}},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode)}, .replies = {reply}},
     {.atModem = {request(callbackCode)}, .replies = {reply}}},
    {"other service code replied",
     {.dials = {"*100#"}},
     {.atModem = {call("*100#")}, .calls = {heard("*100#", {dialing, disconnected})}},
     {.atModem = {request("*100#")}, .replies = {reply}},
     {.atModem = {request("*100#")}, .replies = {reply}}},
    // ModemManager reports the second session closed as soon as it is answered: nothing is
    // left to cancel.
    {"session the network keeps open",
     {.dials = {callbackCode, nationalCallbackCode}, .requests = Requests::RepliedKeepingOpen},
     {.atModem = {call(callbackCode), call(nationalCallbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(nationalCallbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, disconnected}),
                heard(nationalCallbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode), cancel, request(nationalCallbackCode)},
      .replies = {menu, menu}},
     {.atModem = {request(callbackCode), cancel, request(nationalCallbackCode), cancel},
      .replies = {menu, menu}}},
    // ModemManager sends the request hex-encoded, then as plain text, before it gives up.
    {"code the modem does not take is called",
     {.dials = {nationalCallbackCode},
      .requests = Requests::NotTaken,
      .calls = Calls::AnsweredThenEnded},
     {.atModem = {call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, disconnected}),
                heard(nationalCallbackNumber, {incoming, disconnected})}},
     {.atModem = {request(nationalCallbackCode), request(nationalCallbackCode),
                  call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, connected, disconnected})}},
     {.atModem = {call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, connected, disconnected})}}},
    // ModemManager has the call dialling before the modem refuses it.
    {"call refused",
     {.dials = {nationalCallbackCode}, .requests = Requests::NotTaken, .calls = Calls::Refused},
     {.atModem = {call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, disconnected}),
                heard(nationalCallbackNumber, {incoming, disconnected})}},
     {.outcome = DialOutcome::failed(DialOutcome::ModemError),
      .atModem = {request(nationalCallbackCode), request(nationalCallbackCode),
                  call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, disconnected})}},
     {.outcome = DialOutcome::failed(DialOutcome::ModemError),
      .atModem = {call(nationalCallbackCode)}}},
    {"request terminated by the network",
     {.dials = {nationalCallbackCode}, .requests = Requests::Terminated},
     {.atModem = {call(nationalCallbackCode)},
      .calls = {heard(nationalCallbackCode, {dialing, disconnected}),
                heard(nationalCallbackNumber, {incoming, disconnected})}},
     {.outcome = DialOutcome::failed(DialOutcome::NetworkRefused),
      .atModem = {request(nationalCallbackCode)}},
     {.outcome = DialOutcome::failed(DialOutcome::NetworkRefused),
      .atModem = {request(nationalCallbackCode)}}},
    // The daemon in its test mode asks no one before it places a call.
    {"calls forbidden",
     {.dials = {callbackNumber}, .calls = Calls::Forbidden},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing, disconnected})}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing})}},
     {.outcome = DialOutcome::failed(DialOutcome::NotAuthorised),
      .atModem = {call(callbackNumber)}}},
    {"separators dropped",
     {.dials = {"+7 (916) 123-45-67"}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing, disconnected})}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing})}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing})}}},
    {"undialable strings",
     {.dials = {"146812#;", "146\r812#"}},
     {.outcome = DialOutcome::failed(DialOutcome::Refused)},
     {.outcome = DialOutcome::failed(DialOutcome::Refused)},
     {.outcome = DialOutcome::failed(DialOutcome::Refused)}},
    // Auto-answer answers whatever call it is told of: the phone's own call must not be.
    {"own call never answered",
     {.dials = {callbackNumber}, .autoAnswer = true},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing, disconnected})}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing})}},
     {.atModem = {call(callbackNumber)}, .calls = {heard(callbackNumber, {dialing})}}},
    {"callback answered",
     {.dials = {callbackCode}, .callback = Callback::RingsBack, .autoAnswer = true},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, connected, disconnected})}},
     {.atModem = {request(callbackCode), answer},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, connected, disconnected})}},
     {.atModem = {request(callbackCode), answer},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, connected, disconnected})}}},
    {"answered callback hung up here",
     {.dials = {callbackCode},
      .callback = Callback::RingsBack,
      .autoAnswer = true,
      .hangUpHere = true},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, connected, disconnected})}},
     {.atModem = {request(callbackCode), answer, hangUp},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, connected, disconnected})}},
     {.atModem = {request(callbackCode), answer, hangUp},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, connected, disconnected})}}},
    {"callback not answered",
     {.dials = {callbackCode}, .callback = Callback::RingsBack},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode)},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode)},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, disconnected})}}},
    {"backend replaced while the callback rings",
     {.dials = {callbackCode}, .callback = Callback::RingsWhileReplaced},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode)},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, disconnected})}},
     {.atModem = {request(callbackCode)},
      .replies = {reply},
      .calls = {heard(callbackNumber, {incoming, disconnected})}}},
    // Last: the service it stops need not come back for another row.
    {"service gone",
     {.dials = {callbackCode}, .serviceGone = true},
     {.atModem = {call(callbackCode)},
      .calls = {heard(callbackCode, {dialing, disconnected}),
                heard(callbackNumber, {incoming, disconnected})}},
     {.outcome = DialOutcome::failed(DialOutcome::NoService)},
     {.outcome = DialOutcome::failed(DialOutcome::NoService)}},
};

// A backend and the network behind it, as the contract drives them.
class Network
{
public:
    virtual ~Network() = default;

    virtual bool start() = 0;
    // The network at rest, with no call and nothing received yet, set to meet requests and
    // calls as given. It plays the far end of the phone's own calls as it is set.
    virtual bool prepare(Requests requests, Calls calls) = 0;
    // A new backend on this network.
    virtual std::unique_ptr<TelephonyBackend> makeBackend() = 0;
    virtual bool stopService() = 0;
    virtual void ring(const QString &caller) = 0;
    virtual void hangUpRemotely(const CTCall &call) = 0;
    virtual bool sessionOpen() const = 0;
    // What reached the modem, in order: "request TEXT", "cancel", "call NUMBER", "answer".
    virtual QStringList atModem() const = 0;
    // Returns once the app has heard all that the network had to tell it by now.
    virtual bool catchUp() = 0;
};

// Twice: what the backend asks in answer to a late signal is answered before the second.
bool caughtUpWith(const QDBusMessage &call)
{
    return roundTrip(call) && roundTrip(call);
}

class SimulatedNetwork : public Network
{
public:
    bool start() override { return true; }
    bool prepare(Requests, Calls) override { return true; }
    std::unique_ptr<TelephonyBackend> makeBackend() override
    {
        // Short, but a ring lasts long enough for the app to act on it.
        auto backend = std::make_unique<SimulatedOperator>(SimulatedOperator::Delays{
            .ringBack = 30ms, .callDuration = 40ms, .ringTimeout = 100ms, .serviceCall = 10ms});
        simulated = backend.get();
        return backend;
    }
    bool stopService() override { return true; }
    void ring(const QString &) override {}
    void hangUpRemotely(const CTCall &) override {}
    bool sessionOpen() const override { return false; }
    QStringList atModem() const override
    {
        QStringList reached;
        for (const QString &dialled : simulated ? simulated->dialledCodes() : QStringList())
            reached << call(dialled);
        return reached;
    }
    // What the operator has still to do are its running timers and the reports posted to it.
    bool catchUp() override
    {
        const bool idle = QTest::qWaitFor([this] { return !hasRunningTimer(); }, 10000);
        if (simulated)
            QCoreApplication::sendPostedEvents(simulated, QEvent::MetaCall);
        return idle;
    }

private:
    bool hasRunningTimer() const
    {
        const QList<QTimer *> timers =
            simulated ? simulated->findChildren<QTimer *>() : QList<QTimer *>();
        return std::any_of(timers.begin(), timers.end(),
                           [](const QTimer *timer) { return timer->isActive(); });
    }

    QPointer<SimulatedOperator> simulated;
};

// Debian's ModemManager daemon, started once, in front of the emulated modem.
class ModemManagerNetwork : public Network
{
public:
    bool start() override { return daemon.start(); }

    bool prepare(Requests requests, Calls calls) override
    {
        if (!daemon.isRunning() && !daemon.start())
            return false;
        endCalls();
        if (sessionOpen())
            modemCall(ModemManager::ussdInterface, "Cancel");
        modem.reset();
        switch (requests) {
        case Requests::Replied:
            modem.setUssdReply(reply);
            break;
        case Requests::RepliedKeepingOpen:
            modem.setUssdReply(menu, 1);
            break;
        case Requests::NotTaken:
            modem.setUssdRefused(true);
            break;
        case Requests::Terminated:
            modem.setUssdReply(reply, 2);
            break;
        }
        modem.setFarEndAnswers(calls == Calls::AnsweredThenEnded);
        if (calls == Calls::Refused)
            modem.setDialRefusal(30); // no network service
        return true;
    }

    std::unique_ptr<TelephonyBackend> makeBackend() override
    {
        return std::make_unique<ModemManagerBackend>(QDBusConnection::systemBus(),
                                                     daemon.modemPath());
    }
    bool stopService() override { return daemon.stop(); }
    void ring(const QString &caller) override { modem.ring(caller); }
    void hangUpRemotely(const CTCall &) override { modem.hangUpRemotely(); }

    // Active (2), or waiting for the user's response (3).
    bool sessionOpen() const override
    {
        if (!daemon.isRunning())
            return false;
        const QDBusMessage state = modemCall("org.freedesktop.DBus.Properties", "Get",
                                             {ModemManager::ussdInterface, "State"});
        return state.arguments().value(0).value<QDBusVariant>().variant().toUInt() > 1;
    }

    QStringList atModem() const override
    {
        QStringList reached;
        for (const QString &command : modem.commands()) {
            if (const auto text = AtModemEmulator::ussdRequest(command))
                reached << request(*text);
            else if (command == "AT+CUSD=2")
                reached << cancel;
            else if (const auto dialled = AtModemEmulator::dialledNumber(command))
                reached << call(*dialled);
            else if (command == "ATA")
                reached << answer;
            else if (command.startsWith("AT+CHLD=1") || command == "ATH" || command == "AT+CHUP")
                reached << hangUp;
        }
        return reached;
    }

    // A daemon that is gone tells nothing more.
    bool catchUp() override
    {
        return !daemon.isRunning() ||
               caughtUpWith(modemMessage(ModemManager::voiceInterface, "ListCalls"));
    }

private:
    QDBusMessage modemMessage(const QString &interface, const QString &method,
                              const QVariantList &arguments = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            ModemManagerDaemon::service, daemon.modemPath(), interface, method);
        message.setArguments(arguments);
        return message;
    }
    QDBusMessage modemCall(const QString &interface, const QString &method,
                           const QVariantList &arguments = {}) const
    {
        return callServingEvents(modemMessage(interface, method, arguments));
    }

    // Terminated calls stay with the daemon until deleted; deleting one hangs it up first.
    void endCalls() const
    {
        const auto listed = qdbus_cast<QList<QDBusObjectPath>>(
            modemCall(ModemManager::voiceInterface, "ListCalls").arguments().value(0));
        for (const QDBusObjectPath &path : listed)
            modemCall(ModemManager::voiceInterface, "DeleteCall", {QVariant::fromValue(path)});
    }

    AtModemEmulator modem;
    ModemManagerDaemon daemon{modem};
};

// python-dbusmock's oFono, started once and reset for each row.
class OfonoNetwork : public QObject, public Network
{
    Q_OBJECT

public:
    bool start() override
    {
        // The mock cannot play the far end by itself: it is told when the phone places a call.
        return QDBusConnection::systemBus().connect("org.ofono", OfonoMock::modem,
                                                    "org.ofono.VoiceCallManager", "CallAdded", this,
                                                    SLOT(callAdded(QDBusMessage))) &&
               ofono.start();
    }

    bool prepare(Requests requests, Calls calls) override
    {
        if (!ofono.isRunning() && !ofono.start())
            return false;
        ofono.reset();
        farEnd = calls;
        const QString services = "org.ofono.SupplementaryServices";
        switch (requests) {
        case Requests::Replied:
            ofono.offerSupplementaryServices(reply);
            break;
        case Requests::RepliedKeepingOpen:
            ofono.offerSupplementaryServices(menu, "user-response");
            break;
        case Requests::NotTaken:
            break;
        case Requests::Terminated:
            ofono.addMethod(OfonoMock::modem, services, "Initiate", "s", "sv",
                            raising("org.ofono.Error.Terminated"));
            break;
        }
        const QString voiceCalls = "org.ofono.VoiceCallManager";
        if (calls == Calls::Refused)
            ofono.addMethod(OfonoMock::modem, voiceCalls, "Dial", "ss", "o",
                            raising("org.ofono.Error.Failed"));
        else if (calls == Calls::Forbidden)
            ofono.addMethod(OfonoMock::modem, voiceCalls, "Dial", "ss", "o",
                            raising("org.freedesktop.DBus.Error.AccessDenied"));
        return true;
    }

    std::unique_ptr<TelephonyBackend> makeBackend() override
    {
        return std::make_unique<OfonoBackend>(QDBusConnection::systemBus(), OfonoMock::modem);
    }
    bool stopService() override { return ofono.stop(); }
    void ring(const QString &caller) override { ofono.addIncomingCall(caller); }
    void hangUpRemotely(const CTCall &call) override { ofono.hangUpRemotely(call.callID()); }

    // Without supplementary services there is no session.
    bool sessionOpen() const override
    {
        const QDBusMessage properties =
            QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
                "org.ofono", OfonoMock::modem, "org.ofono.SupplementaryServices", "GetProperties"));
        return properties.type() != QDBusMessage::ErrorMessage &&
               qdbus_cast<QVariantMap>(properties.arguments().value(0)).value("State").toString() !=
                   "idle";
    }

    QStringList atModem() const override
    {
        QStringList reached;
        for (const DBusMock::Call &made : ofono.calls) {
            if (made.method == "Initiate")
                reached << request(made.arguments.value(0).toString());
            else if (made.method == "Cancel")
                reached << cancel;
            else if (made.method == "Dial")
                reached << call(made.arguments.value(0).toString());
            else if (made.method == "Answer")
                reached << answer;
            else if (made.method == "Hangup")
                reached << hangUp;
        }
        return reached;
    }

    // A service that is gone tells nothing more.
    bool catchUp() override
    {
        return !ofono.isRunning() ||
               caughtUpWith(QDBusMessage::createMethodCall(
                   "org.ofono", OfonoMock::modem, "org.ofono.VoiceCallManager", "GetCalls"));
    }

private Q_SLOTS:
    void callAdded(const QDBusMessage &signal)
    {
        const QString path = signal.arguments().value(0).value<QDBusObjectPath>().path();
        const auto properties = qdbus_cast<QVariantMap>(signal.arguments().value(1));
        if (properties.value("State").toString() != "dialing")
            return;
        if (farEnd == Calls::AnsweredThenEnded) {
            ofono.setCallState(path, "alerting");
            ofono.setCallState(path, "active");
        }
    }

private:
    static QString raising(const QString &error)
    {
        return QString("raise dbus.exceptions.DBusException('refused', name=%1)")
            .arg(pythonString(error));
    }

    OfonoMock ofono;
    Calls farEnd = Calls::Ring;
};
} // namespace

Q_DECLARE_METATYPE(Stimulus)
Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(Network *)

class TelephonyBackendContractTest : public QObject
{
    Q_OBJECT

    PrivateBus systemBus{PrivateBus::System};
    SimulatedNetwork simulated;
    ModemManagerNetwork modemManager;
    OfonoNetwork ofono;
    CTCallCenter callCenter;

    // The row's.
    Network *network = nullptr;
    Stimulus current;

    QList<DialOutcome> outcomes;
    QList<CTCall> events;   // through the call center
    QList<CTCall> notified; // through the telephony notification center
    QStringList replies;
    std::optional<QStringList> atModemWhenReplaced;
    QStringList endedByReplacement;

    // Every telephony notification, as auto-answer hears them; answered as auto-answer does
    // when the row has it on.
    static void notification(CTTelephonyCenter *, void *observer, const QString &, const void *,
                             const QVariantMap &userInfo)
    {
        auto *test = static_cast<TelephonyBackendContractTest *>(observer);
        const auto call = userInfo.value(kCTCall).value<CTCall>();
        test->notified << call;
        if (test->current.autoAnswer)
            CTCallAnswer(call);
    }

    // The far end of a call the app hears of: it ends a connected call, and a caller the app
    // does not answer gives up, unless a modem appears and takes over first.
    void farEnd(const CTCall &call)
    {
        if (!network)
            return;
        if (call.callState() == CTCallStateConnected) {
            if (current.hangUpHere)
                TelephonyService::shared().hangUp(call);
            else
                network->hangUpRemotely(call);
        } else if (call.callState() == CTCallStateIncoming) {
            if (current.callback == Callback::RingsWhileReplaced)
                QMetaObject::invokeMethod(
                    this, [this] { replaceBackend(); }, Qt::QueuedConnection);
            else if (!current.autoAnswer)
                network->hangUpRemotely(call);
        }
    }

    // The simulated operator's record goes with it.
    void replaceBackend()
    {
        atModemWhenReplaced = network->atModem();
        const qsizetype heardBefore = events.size();
        RecordingBackend::install();
        endedByReplacement = heardCalls(events.mid(heardBefore));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(modemManager.start());
        QVERIFY(ofono.start());
        callCenter.setCallEventHandler([this](const CTCall &call) {
            events << call;
            farEnd(call);
        });
        CTTelephonyCenterAddObserver(CTTelephonyCenterGetDefault(), this, notification,
                                     std::nullopt, nullptr, CFNotificationSuspensionBehaviorHold);
        connect(&TelephonyService::shared(), &TelephonyService::networkReply, this,
                [this](const QString &text) { replies << text; });
    }

    void cleanup()
    {
        network = nullptr;
        current = {};
        RecordingBackend::install();
        outcomes.clear();
        events.clear();
        notified.clear();
        replies.clear();
        atModemWhenReplaced.reset();
        endedByReplacement.clear();
    }

    void everyBackendKeepsTheContract_data()
    {
        QTest::addColumn<Network *>("backend");
        QTest::addColumn<Stimulus>("stimulus");
        QTest::addColumn<Expected>("expected");
        const std::tuple<const char *, Network *, Expected Scenario::*> backends[] = {
            {"simulated", &simulated, &Scenario::simulated},
            {"ModemManager", &modemManager, &Scenario::modemManager},
            {"oFono", &ofono, &Scenario::ofono},
        };
        for (const Scenario &scenario : scenarios) {
            for (const auto &[name, backend, expected] : backends)
                QTest::addRow("%s/%s", scenario.name, name)
                    << backend << scenario.stimulus << scenario.*expected;
        }
    }

    void everyBackendKeepsTheContract()
    {
        QFETCH(Network *, backend);
        QFETCH(Stimulus, stimulus);
        QFETCH(Expected, expected);
        QVERIFY(backend->prepare(stimulus.requests, stimulus.calls));
        TelephonyService::shared().setBackend(backend->makeBackend());
        network = backend;
        current = stimulus;
        if (stimulus.serviceGone)
            QVERIFY(backend->stopService());

        for (const QString &dialString : stimulus.dials) {
            const qsizetype outcomesBefore = outcomes.size();
            const qsizetype eventsBefore = events.size();
            CTCallDialWithID(dialString, -1, this,
                             [this](const DialOutcome &outcome) { outcomes << outcome; });
            QVERIFY2(outcomes.size() == outcomesBefore && events.size() == eventsBefore,
                     "nothing is told from inside the dial request");
            QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), outcomesBefore + 1, 10000);
            QCOMPARE(DialOutcomeName(outcomes.last()), DialOutcomeName(expected.outcome));
            // The backend closes a session the network left open, before the next request.
            QTRY_VERIFY(!backend->sessionOpen());
        }
        if (stimulus.callback != Callback::None)
            backend->ring(callbackNumber);

        QTRY_COMPARE_WITH_TIMEOUT(heardCalls(events), expected.calls, 10000);
        // Nothing follows: no other ring-back, no late event.
        QVERIFY(backend->catchUp());
        QCOMPARE(heardCalls(events), expected.calls);
        QCOMPARE(heardCalls(notified), expected.calls);
        QCOMPARE(outcomes.size(), stimulus.dials.size());
        QCOMPARE(replies, expected.replies);
        QCOMPARE(atModemWhenReplaced ? *atModemWhenReplaced : backend->atModem(), expected.atModem);
        if (stimulus.callback == Callback::RingsWhileReplaced)
            QCOMPARE(endedByReplacement, QStringList{heard(callbackNumber, {disconnected})});
    }
};

MOLVANE_TEST_MAIN(TelephonyBackendContractTest)
#include "tst_TelephonyBackendContract.moc"
