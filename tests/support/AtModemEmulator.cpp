#include "support/AtModemEmulator.h"

#include <QHash>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTimer>
#include <QUuid>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QString ok = QStringLiteral("OK");
const QString error = QStringLiteral("ERROR");

// A listening socket on the abstract name: QLocalServer pads abstract addresses to the full
// structure, which a client giving the exact length cannot reach.
int listenOnAbstractName(const QString &name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = name.toUtf8();
    if (fd < 0 || qsizetype(sizeof(address.sun_path)) <= encoded.size())
        qFatal("cannot make the modem's socket");
    memcpy(address.sun_path + 1, encoded.constData(), encoded.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + encoded.size());
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(fd, 8) != 0)
        qFatal("cannot listen on the modem's socket: %s", strerror(errno));
    return fd;
}

// The daemon first sends a USSD request hex-encoded in the modem's character set.
QString decodedUssd(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (!hex.match(text).hasMatch())
        return text;
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    if (!bytes.contains('\0'))
        return QString::fromLatin1(bytes);
    QString wide;
    for (qsizetype at = 0; at + 1 < bytes.size(); at += 2)
        wide.append(QChar(char16_t(uchar(bytes[at]) << 8 | uchar(bytes[at + 1]))));
    return wide;
}

// Identification and registration: what the daemon asks while it probes and enables a modem.
const QHash<QString, QString> &identityAnswers()
{
    static const QHash<QString, QString> answers{
        {QStringLiteral("ATI"), QStringLiteral("Molvane emulated modem")},
        {QStringLiteral("AT+GCAP"), QStringLiteral("+GCAP: +CGSM")},
        {QStringLiteral("AT+CGMI"), QStringLiteral("Molvane")},
        {QStringLiteral("AT+CGMM"), QStringLiteral("Emulated GSM modem")},
        {QStringLiteral("AT+CGMR"), QStringLiteral("1.0")},
        {QStringLiteral("AT+CGSN"), QStringLiteral("490154203237518")},
        {QStringLiteral("AT+WS46=?"), QStringLiteral("+WS46: (12)")},
        {QStringLiteral("AT+CSCS=?"), QStringLiteral("+CSCS: (\"IRA\",\"GSM\",\"UCS2\")")},
        {QStringLiteral("AT+CSCS?"), QStringLiteral("+CSCS: \"IRA\"")},
        {QStringLiteral("AT+CFUN?"), QStringLiteral("+CFUN: 1")},
        {QStringLiteral("AT+CRSM=176,12258,0,0,10"),
         QStringLiteral("+CRSM: 144,0,\"98101430121181157002\"")},
        {QStringLiteral("AT+CIMI"), QStringLiteral("250011234567890")},
        {QStringLiteral("AT+CLCK=?"), QStringLiteral("+CLCK: (\"SC\",\"FD\",\"PS\")")},
        {QStringLiteral("AT+CREG?"), QStringLiteral("+CREG: 2,1")},
        {QStringLiteral("AT+CGREG?"), QStringLiteral("+CGREG: 2,1")},
        {QStringLiteral("AT+COPS?"), QStringLiteral("+COPS: 0,0,\"Molvane Net\",0")},
        {QStringLiteral("AT+CSQ"), QStringLiteral("+CSQ: 20,99")},
    };
    return answers;
}

// Settings the daemon makes, each answered with a plain OK.
bool isPlainSetting(const QString &command)
{
    static const QStringList settings{"AT",          "ATE0",      "ATV1",      "AT+CMEE=1",
                                      "ATX4",        "AT&C1",     "AT+CREG=2", "AT+CGREG=2",
                                      "AT+CLIP=1",   "AT+CRC=1",  "AT+CCWA=1", "AT+COPS=3,2",
                                      "AT+COPS=3,0", "AT+CLCC=?", "AT+CUSD=2"};
    return settings.contains(command) || command.startsWith(QLatin1String("AT+CSCS=\""));
}
} // namespace

AtModemEmulator::AtModemEmulator(QObject *parent)
    : QObject(parent),
      name(QStringLiteral("molvane-modem-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    clock.start();
    // The daemon keeps the "abstract:" of the port name as part of the socket's name.
    if (!server.listen(listenOnAbstractName(portName())))
        qFatal("cannot take the modem's socket: %s", qPrintable(server.errorString()));
    connect(&server, &QLocalServer::newConnection, this, &AtModemEmulator::accept);
}

QStringList AtModemEmulator::commands() const
{
    QStringList all;
    for (const Received &received : log)
        all << received.command;
    return all;
}

QStringList AtModemEmulator::commandsStartingWith(const QString &prefix) const
{
    return commands().filter(
        QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
}

QStringList AtModemEmulator::ussdRequests() const
{
    QStringList texts;
    for (const QString &command : commands()) {
        if (const auto text = ussdRequest(command))
            texts << *text;
    }
    return texts;
}

std::optional<QString> AtModemEmulator::ussdRequest(const QString &command)
{
    static const QRegularExpression request(QStringLiteral("^AT\\+CUSD=1,\"([^\"]*)\""));
    if (const auto match = request.match(command); match.hasMatch())
        return decodedUssd(match.captured(1));
    return std::nullopt;
}

std::optional<QString> AtModemEmulator::dialledNumber(const QString &command)
{
    if (!command.startsWith(QLatin1String("ATD")))
        return std::nullopt;
    QString number = command.mid(3);
    number.chop(number.endsWith(QLatin1Char(';')) ? 1 : 0);
    return number;
}

void AtModemEmulator::reset()
{
    ussdSupported = true;
    ussdRefused = false;
    ussdReply = QStringLiteral("OK");
    ussdStatus = 0;
    dialRefusal.reset();
    answerDelay = std::chrono::milliseconds(0);
    farEndAnswers = false;
    callList.clear();
    log.clear();
}

void AtModemEmulator::setUssdReply(std::optional<QString> text, int status)
{
    ussdReply = std::move(text);
    ussdStatus = status;
}

// A ring during a call is a waiting call, told by +CCWA instead of RING.
void AtModemEmulator::ring(const QString &number, bool withCallerId)
{
    const bool waiting = !callList.isEmpty();
    callList.append({int(callList.size()) + 1, true, waiting ? Waiting : Incoming, number});
    const QString numberType =
        number.startsWith(QLatin1Char('+')) ? QStringLiteral("145") : QStringLiteral("129");
    if (waiting)
        sendUnsolicited(QStringLiteral("+CCWA: \"%1\",%2,1").arg(number, numberType));
    else
        sendUnsolicited(QStringLiteral("RING"));
    if (withCallerId && !waiting)
        sendUnsolicited(QStringLiteral("+CLIP: \"%1\",%2,,,,0").arg(number, numberType));
}

void AtModemEmulator::hangUpRemotely()
{
    callList.clear();
    sendUnsolicited(QStringLiteral("NO CARRIER"));
}

void AtModemEmulator::accept()
{
    while (QLocalSocket *port = server.nextPendingConnection()) {
        port->setParent(this);
        latestPort = port;
        connect(port, &QLocalSocket::readyRead, this, [this, port] { readFrom(port); });
        connect(port, &QLocalSocket::disconnected, port, &QObject::deleteLater);
    }
}

void AtModemEmulator::readFrom(QLocalSocket *port)
{
    while (port->canReadLine() || port->bytesAvailable()) {
        QByteArray pending = port->peek(port->bytesAvailable());
        const qsizetype end = pending.indexOf('\r');
        if (end < 0)
            return;
        port->read(end + 1);
        const QString command = QString::fromLatin1(pending.left(end)).trimmed();
        if (command.isEmpty())
            continue;
        log.append({command, clock.nsecsElapsed()});
        respond(port, command);
    }
}

void AtModemEmulator::respond(QLocalSocket *port, const QString &command)
{
    if (const auto answer = staticAnswer(command))
        send(port, *answer);
    else if (const auto number = dialledNumber(command))
        dial(port, *number);
    else if (command.startsWith(QLatin1String("AT+CUSD=1,")))
        requestUssd(port);
    else if (command.startsWith(QLatin1String("AT+CPIN")))
        send(port, enterPin(command));
    else if (command == QLatin1String("ATA"))
        send(port, answerIncoming() ? ok : error);
    else if (command == QLatin1String("AT+CLCC"))
        send(port, listCalls() + ok);
    else if (command.startsWith(QLatin1String("AT+CHLD=1")) || command == QLatin1String("ATH") ||
             command == QLatin1String("AT+CHUP")) {
        hangUp(command);
        send(port, ok);
    } else {
        send(port, error);
    }
}

std::optional<QString> AtModemEmulator::staticAnswer(const QString &command) const
{
    if (const auto found = identityAnswers().find(command); found != identityAnswers().end())
        return *found + QStringLiteral("\r\n\r\n") + ok;
    if (isPlainSetting(command))
        return ok;
    if (command.startsWith(QLatin1String("AT+CLCK=\"")))
        return QStringLiteral("+CLCK: 0\r\n\r\n") + ok;
    if (command == QLatin1String("AT+CUSD=?"))
        return ussdSupported ? QStringLiteral("+CUSD: (0-2)\r\n\r\n") + ok : error;
    if (command == QLatin1String("AT+CUSD=1"))
        return ussdSupported ? ok : error;
    return std::nullopt;
}

void AtModemEmulator::dial(QLocalSocket *port, const QString &number)
{
    if (dialRefusal) {
        answerLater(port, QStringLiteral("+CME ERROR: %1").arg(*dialRefusal));
        return;
    }
    callList.append({int(callList.size()) + 1, false, farEndAnswers ? Active : Dialing, number});
    answerLater(port, ok);
}

QString AtModemEmulator::enterPin(const QString &command)
{
    if (command == QLatin1String("AT+CPIN?"))
        return (simPin ? QStringLiteral("+CPIN: SIM PIN") : QStringLiteral("+CPIN: READY")) +
               QStringLiteral("\r\n\r\n") + ok;
    if (!simPin || command != QStringLiteral("AT+CPIN=\"%1\"").arg(*simPin))
        return QStringLiteral("+CME ERROR: 16"); // incorrect password
    simPin.reset();
    return ok;
}

bool AtModemEmulator::answerIncoming()
{
    for (Call &call : callList) {
        if (call.incoming && call.status == Incoming) {
            call.status = Active;
            return true;
        }
    }
    return false;
}

void AtModemEmulator::requestUssd(QLocalSocket *port)
{
    if (!ussdSupported || ussdRefused) {
        answerLater(port, error);
        return;
    }
    answerLater(port, ok);
    if (!ussdReply)
        return;
    const QString reply = QStringLiteral("+CUSD: %1,\"%2\",15").arg(ussdStatus).arg(*ussdReply);
    QTimer::singleShot(answerDelay, port, [this, reply] { sendUnsolicited(reply); });
}

QString AtModemEmulator::listCalls() const
{
    QString rows;
    for (const Call &call : callList)
        rows += QStringLiteral("+CLCC: %1,%2,%3,0,0,\"%4\",%5\r\n")
                    .arg(call.index)
                    .arg(call.incoming ? 1 : 0)
                    .arg(int(call.status))
                    .arg(call.number)
                    .arg(call.number.startsWith(QLatin1Char('+')) ? 145 : 129);
    return rows.isEmpty() ? rows : rows + QStringLiteral("\r\n");
}

// AT+CHLD=1x ends call x; AT+CHLD=1, ATH and AT+CHUP end every call.
void AtModemEmulator::hangUp(const QString &command)
{
    bool isIndex = false;
    const int index = command.mid(9).toInt(&isIndex);
    callList.removeIf([&](const Call &call) { return !isIndex || call.index == index; });
}

void AtModemEmulator::send(QLocalSocket *port, const QString &text)
{
    Q_EMIT sending(text);
    port->write((QStringLiteral("\r\n") + text + QStringLiteral("\r\n")).toLatin1());
}

void AtModemEmulator::sendUnsolicited(const QString &text)
{
    if (latestPort)
        send(latestPort, text);
}

void AtModemEmulator::answerLater(QLocalSocket *port, const QString &text)
{
    if (answerDelay.count() == 0) {
        send(port, text);
        return;
    }
    QTimer::singleShot(answerDelay, port, [this, port, text] { send(port, text); });
}
