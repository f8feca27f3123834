#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Every test process gets fresh, private XDG data and config directories, so nothing
// touches the user's files and no test sees another's leftovers.
class IsolatedUserDirectories
{
public:
    IsolatedUserDirectories()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
        const QString runtime = root.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        // Never the address book of the machine's own session; a test that wants another sets
        // it before the first use.
        if (!qEnvironmentVariableIsSet("MOLVANE_ADDRESS_BOOK"))
            qputenv("MOLVANE_ADDRESS_BOOK", "sqlite");
    }
    QString dataHome() const { return root.filePath(QStringLiteral("data")); }
    QString configHome() const { return root.filePath(QStringLiteral("config")); }

private:
    QTemporaryDir root;
};

#define MOLVANE_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        IsolatedUserDirectories directories;                                                       \
        QApplication app(argc, argv);                                                              \
        app.setApplicationName(QStringLiteral("molvane"));                                         \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
