// A process making requests is killed at random moments; the call log it leaves must always
// parse and hold every request that had finished before the kill.
#include "DialerPadViewController.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/KilledChild.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"

#include <QLabel>
#include <QSet>

namespace {
constexpr int kills = 200;
const char *const childFlag = "--request-until-killed";

// The child: requests numbers made of its generation and a counter until it is killed.
int requestUntilKilled(int argc, char *argv[], const QString &generation)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    RecordingBackend::install();
    LaunchedApplication launched;
    DialerPadViewController *dialPad = launched.delegate()->dialerPadViewController;
    KilledChild::reportReady();
    for (int request = 0;; ++request) {
        const QString number =
            QStringLiteral("%1%2").arg(generation).arg(request, 5, 10, QLatin1Char('0'));
        DialPadScreen(dialPad).number->setText(number);
        dialPad->MakeCallToServer();
        KilledChild::reportDone(number);
    }
}
} // namespace

class CallLogCrashSafetyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFinishedRequestSurvivesAKill()
    {
        QSet<QString> finished;
        for (int generation = 0; generation < kills; ++generation) {
            const std::optional<QStringList> steps =
                KilledChild::runUntilKilled({childFlag, QString::number(1000 + generation)});
            QVERIFY2(steps, "the child never got ready, or would not die");
            finished.unite(QSet<QString>(steps->begin(), steps->end()));

            if (!QFile::exists(callLogPath())) {
                QVERIFY2(finished.isEmpty(), "requests finished, but no log was written");
                continue;
            }
            QVERIFY2(ReadPropertyListArray(callLogPath()),
                     qPrintable(QString("the log did not parse after kill %1").arg(generation)));
            const QStringList numbers = loggedNumbers();
            const QSet<QString> logged(numbers.begin(), numbers.end());
            for (const QString &number : std::as_const(finished))
                QVERIFY2(logged.contains(number), qPrintable(number + " was lost"));
        }
        qInfo() << finished.size() << "finished requests survived" << kills << "kills";
    }
};

int main(int argc, char *argv[])
{
    return KilledChild::testMain<CallLogCrashSafetyTest>(argc, argv, childFlag, requestUntilKilled);
}

#include "tst_CallLogCrashSafety.moc"
