#include "ABContactsHelper.h"
#include "CommandLineHandOff.h"
#include "Platform/AddressBook/ABStore.h"
#include "support/TestMain.h"

#include <QProcess>

namespace {
bool asksForAnOption(QList<QByteArray> arguments)
{
    arguments.prepend("molvane");
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return CommandLineHandOff::asksForAnOption(int(arguments.size()), argv.data());
}

struct Run
{
    int status;
    QByteArray out;
    QByteArray err;
};

// The window's program as built, next to the test programs' directory.
Run molvane(const QStringList &arguments)
{
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + "/../molvane", arguments);
    program.waitForFinished(30000);
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}
} // namespace

class CommandLineHandOffTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theToolkitsOptionsOpenTheWindowAnyOtherAsksForAnOption()
    {
        QVERIFY(!asksForAnOption({}));
        QVERIFY(!asksForAnOption({"-platform", "offscreen"}));
        QVERIFY(asksForAnOption({"--version"}));
        QVERIFY(asksForAnOption({"-h"}));
        QVERIFY(asksForAnOption({"-platform", "offscreen", "--help"}));
        QVERIFY(asksForAnOption({"contacts.vcf"}));
        QVERIFY(!asksForAnOption({"tel:+7-916-123-45-67"}));
        QVERIFY(!asksForAnOption({"TEL:123", "-platform", "offscreen"}));
    }

    // The options are answered by another program: its output, its status and its work on
    // the user's address book must come through as if molvane had done it.
    void optionsAreAnsweredThroughTheWindowsProgram()
    {
        const Run version = molvane({"--version"});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("molvane " MOLVANE_VERSION "\n"));

        const Run wrong = molvane({"--no-such-option"});
        QCOMPARE(wrong.status, 2);
        QVERIFY2(wrong.err.contains("Try 'molvane --help'"), wrong.err.constData());

        const Run import =
            molvane({"--import-contacts", QFINDTESTDATA("../support/vcards/contacts-4.0.vcf")});
        QCOMPARE(import.status, 0);
        ABStore::closeShared();
        QVERIFY(ABContactsHelper::contactsCount() > 0);
    }
};

MOLVANE_TEST_MAIN(CommandLineHandOffTest)
#include "tst_CommandLineHandOff.moc"
