#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/TabBarController.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
// Started as the phone starts it, with no logging rules of the caller's: the rules are read
// before main.
const bool noRulesGiven = qunsetenv("QT_LOGGING_RULES") && qunsetenv("QT_LOGGING_CONF");

QStringList delivered;

// Every line that passes the filter, whatever handler would print it afterwards.
void recordLine(QtMsgType, const QMessageLogContext &, const QString &line)
{
    delivered << line;
}

// What the process writes to its standard error meanwhile.
class CapturedStandardError
{
public:
    CapturedStandardError()
    {
        file.open();
        std::fflush(stderr);
        saved = ::dup(STDERR_FILENO);
        ::dup2(file.handle(), STDERR_FILENO);
    }

    QByteArray finish()
    {
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        file.seek(0);
        return file.readAll();
    }

private:
    QTemporaryFile file;
    int saved = -1;
};
} // namespace

// A phone's journal keeps what an app writes: by default Molvane writes no number there.
class LogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The whole way of a request, through the window: keys, call key, the callback rung,
    // answered and ended, and Recent drawn with the entry.
    void aRequestWritesNoDigitOfTheNumber()
    {
        auto simulated = std::make_unique<SimulatedOperator>(SimulatedOperator::Delays{
            .ringBack = 50ms, .callDuration = 50ms, .ringTimeout = 1000ms, .serviceCall = 10ms});
        SimulatedOperator *network = simulated.get();
        TelephonyService::shared().setBackend(std::move(simulated));
        CapturedStandardError standardError;
        const QtMessageHandler previous = qInstallMessageHandler(recordLine);
        {
            LaunchedApplication app({{"enable_autoanswer", true}});
            const DialPadScreen screen(app.delegate()->dialerPadViewController);
            for (const QChar digit : QStringView(u"79161234567"))
                tap(screen.dialPad->viewWithTag(1000 + digit.digitValue()));
            tap(screen.call);
            QList<CTCallState> states;
            CTCallCenter watcher;
            watcher.setCallEventHandler([&](const CTCall &call) { states << call.callState(); });
            QTRY_VERIFY(states.contains(CTCallStateConnected));
            QTRY_COMPARE(states.last(), CTCallStateDisconnected);
            app.delegate()->mainTab->setSelectedIndex(1);
            QCOMPARE(network->dialledCodes(), QStringList{"14679161234567#"});
        }
        qInstallMessageHandler(previous);
        const QString written = QString::fromUtf8(standardError.finish()) + delivered.join('\n');
        QVERIFY2(!written.contains(QRegularExpression("\\d")), qPrintable(written));
    }
};

MOLVANE_TEST_MAIN(LogTest)
#include "tst_Log.moc"
