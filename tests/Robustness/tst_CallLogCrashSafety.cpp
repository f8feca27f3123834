// A process making requests is killed at random moments; the call log it leaves must always
// parse and hold every request that had finished before the kill.
#include "DialerPadViewController.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <csignal>
#include <cstdio>

namespace {
constexpr int kills = 200;
const char *const childFlag = "--request-until-killed";

// The child: requests numbers made of its generation and a counter, reporting each one that
// has returned, until it is killed.
int requestUntilKilled(int argc, char *argv[], const QString &generation)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "molvane.info=false");
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    TelephonyService::shared().setBackend(std::make_unique<RecordingBackend>());
    LaunchedApplication launched;
    DialerPadViewController *dialPad = launched.delegate()->dialerPadViewController;
    std::puts("ready");
    std::fflush(stdout);
    for (int request = 0;; ++request) {
        const QString number =
            QStringLiteral("%1%2").arg(generation).arg(request, 5, 10, QLatin1Char('0'));
        dialPad->lblNumberField->setText(number);
        dialPad->MakeCallToServer();
        std::printf("done %s\n", qPrintable(number));
        std::fflush(stdout);
    }
}

QStringList loggedNumbers(const QVariantList &log)
{
    QStringList numbers;
    for (const QVariant &element : log)
        numbers << CallLogEntry(element).phoneNumber().value_or(QString());
    return numbers;
}
} // namespace

class CallLogCrashSafetyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFinishedRequestSurvivesAKill()
    {
        const QString callLog = DocumentsDirectory() + "/calllog.plist";
        QSet<QString> finished;
        for (int generation = 0; generation < kills; ++generation) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {childFlag, QString::number(1000 + generation)});
            QVERIFY(child.waitForStarted());
            QVERIFY2(child.waitForReadyRead(20000), "the child never got ready");
            QTest::qWait(QRandomGenerator::global()->bounded(1, 40));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
                if (line.startsWith("done "))
                    finished.insert(QString::fromLatin1(line.mid(5)));
            }

            if (!QFile::exists(callLog)) {
                QVERIFY2(finished.isEmpty(), "requests finished, but no log was written");
                continue;
            }
            const std::optional<QVariantList> log = ReadPropertyListArray(callLog);
            QVERIFY2(log,
                     qPrintable(QString("the log did not parse after kill %1").arg(generation)));
            const QStringList numbers = loggedNumbers(*log);
            const QSet<QString> logged(numbers.begin(), numbers.end());
            for (const QString &number : std::as_const(finished))
                QVERIFY2(logged.contains(number), qPrintable(number + " was lost"));
        }
        QVERIFY2(finished.size() > kills, "the children hardly got to make requests");
        qInfo() << finished.size() << "finished requests survived" << kills << "kills";
    }
};

int main(int argc, char *argv[])
{
    // The child inherits the parent's private data directory through the environment.
    if (argc == 3 && qstrcmp(argv[1], childFlag) == 0)
        return requestUntilKilled(argc, argv, QString::fromLatin1(argv[2]));
    IsolatedUserDirectories directories;
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    CallLogCrashSafetyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CallLogCrashSafety.moc"
