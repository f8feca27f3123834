#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QLocalServer>
#include <QPointer>
#include <QStringList>
#include <chrono>
#include <optional>

class QLocalSocket;

// A GSM modem with one AT port, listening on an abstract UNIX socket, as ModemManager's test
// mode reaches a modem. It answers what the daemon asks while probing and enabling, keeps a
// call list for AT+CLCC polling, and records every command it is sent. The test plays the
// network: it rings, hangs up, refuses dials and answers USSD requests.
class AtModemEmulator : public QObject
{
    Q_OBJECT

public:
    // CLCC "stat" values.
    enum CallStatus
    {
        Active = 0,
        Dialing = 2,
        Alerting = 3,
        Incoming = 4,
        Waiting = 5,
    };
    struct Call
    {
        int index;
        bool incoming;
        CallStatus status;
        QString number;
    };
    struct Received
    {
        QString command;
        qint64 atNanoseconds; // on the emulator's clock, see elapsed()
    };

    explicit AtModemEmulator(QObject *parent = nullptr);

    // The port name the daemon is given: "abstract:NAME".
    QString portName() const { return QStringLiteral("abstract:") + name; }

    // Every command received, in order, without the line end.
    QStringList commands() const;
    const QList<Received> &received() const { return log; }
    // The commands that begin with the prefix.
    QStringList commandsStartingWith(const QString &prefix) const;
    // The text of every USSD request, decoded when the daemon sent it hex-encoded.
    QStringList ussdRequests() const;
    // The text of the USSD request the command makes, if it makes one.
    static std::optional<QString> ussdRequest(const QString &command);
    // The number the command dials, if it dials.
    static std::optional<QString> dialledNumber(const QString &command);
    qint64 elapsed() const { return clock.nsecsElapsed(); }

    // The SIM asks for this PIN until it is given (AT+CPIN="PIN").
    void lockSim(const QString &pin) { simPin = pin; }

    // What the network does.
    void setUssdSupported(bool supported) { ussdSupported = supported; }
    // The reply to every USSD request: status 0 done, 1 more action needed, 2 terminated by
    // the network, 4 not supported. Nothing: the request is taken and never answered.
    void setUssdReply(std::optional<QString> text, int status = 0);
    // Both the hex-encoded and the plain request are refused with ERROR.
    void setUssdRefused(bool refused) { ussdRefused = refused; }
    // Dials are refused with "+CME ERROR: code"; nothing lets them through.
    void setDialRefusal(std::optional<int> cmeError) { dialRefusal = cmeError; }
    // The time before the modem answers a dial or a USSD request.
    void setAnswerDelay(std::chrono::milliseconds delay) { answerDelay = delay; }
    // The far end picks up each call the phone places: the daemon sees it active at its next
    // AT+CLCC poll. Otherwise the call rings on.
    void setFarEndAnswers(bool answers) { farEndAnswers = answers; }
    // The network as at first, no call listed, and no command received yet.
    void reset();

    // An incoming call: RING, then +CLIP with the number unless it is withheld; during a call,
    // a waiting call (+CCWA).
    void ring(const QString &number, bool withCallerId = true);
    // The other side hangs up every call. The daemon ends one call for each NO CARRIER, the
    // waiting one first.
    void hangUpRemotely();

Q_SIGNALS:
    // Each line the modem is about to send, answer or unsolicited, without the line ends.
    void sending(const QString &text);

private:
    void accept();
    void readFrom(QLocalSocket *port);
    void respond(QLocalSocket *port, const QString &command);
    std::optional<QString> staticAnswer(const QString &command) const;
    void dial(QLocalSocket *port, const QString &number);
    bool answerIncoming();
    QString enterPin(const QString &command);
    void requestUssd(QLocalSocket *port);
    QString listCalls() const;
    void hangUp(const QString &command);
    void send(QLocalSocket *port, const QString &text);
    void sendUnsolicited(const QString &text);
    void answerLater(QLocalSocket *port, const QString &text);

    QString name;
    QLocalServer server;
    QPointer<QLocalSocket> latestPort;
    QElapsedTimer clock;
    QList<Received> log;
    QList<Call> callList;
    std::optional<QString> simPin;
    bool ussdSupported = true;
    bool ussdRefused = false;
    std::optional<QString> ussdReply = QStringLiteral("OK");
    int ussdStatus = 0;
    std::optional<int> dialRefusal;
    std::chrono::milliseconds answerDelay{0};
    bool farEndAnswers = false;
};
