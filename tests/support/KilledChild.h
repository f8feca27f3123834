#pragma once

#include "support/TestMain.h"
#include "support/TestSeed.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <optional>

// Crash-safety tests run their own executable again as a child that works in a loop until it
// is killed. The child says "ready" once, then "done NAME" after each step that has returned.
namespace KilledChild {

inline void report(const QByteArray &line)
{
    std::puts(line.constData());
    std::fflush(stdout);
}

inline void reportReady()
{
    report("ready");
}

inline void reportDone(const QString &name)
{
    report("done " + name.toUtf8());
}

// The names the child reported done in this output, complete lines only.
inline QStringList finishedSteps(const QByteArray &output)
{
    QStringList names;
    QList<QByteArray> lines = output.split('\n');
    lines.removeLast(); // unfinished, or empty after the final newline
    for (const QByteArray &line : std::as_const(lines)) {
        if (line.startsWith("done "))
            names << QString::fromUtf8(line.mid(5));
    }
    return names;
}

// Starts the child and kills it with SIGKILL after a random number of finished steps and a
// random moment into the next one, so the kills land all over the code under test however fast
// or slow the machine is; the randomness is the test's seeded one. Gives the steps that
// finished, or nothing when the child never got ready or would not die.
inline std::optional<QStringList> runUntilKilled(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QByteArray output;
    while (!output.contains("ready\n")) {
        if (!child.waitForReadyRead(30000))
            return std::nullopt;
        output += child.readAllStandardOutput();
    }
    const int stepsBeforeKill = testRandom().bounded(0, 6);
    while (finishedSteps(output).size() < stepsBeforeKill) {
        if (!child.waitForReadyRead(30000))
            return std::nullopt;
        output += child.readAllStandardOutput();
    }
    QThread::usleep(testRandom().bounded(0, 20000));
    ::kill(pid_t(child.processId()), SIGKILL);
    if (!child.waitForFinished(10000))
        return std::nullopt;
    return finishedSteps(output + child.readAllStandardOutput());
}

// A crash-safety test's main: given the child's flag and a generation, the child's loop;
// otherwise the test itself, in private user directories that its children inherit, starting
// with its seed.
template <typename Test>
int testMain(int argc, char *argv[], const char *childFlag,
             int (*child)(int argc, char *argv[], const QString &generation))
{
    if (argc == 3 && qstrcmp(argv[1], childFlag) == 0)
        return child(argc, argv, QString::fromLatin1(argv[2]));
    IsolatedUserDirectories directories;
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    testRandom();
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace KilledChild
