#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line options, handled before any window exists: importing and exporting
// contacts, help and version.
class MolvaneCommandLine
{
public:
    MolvaneCommandLine() = delete;

    // Carries out the options in the process's arguments; the exit status.
    static int run(int argc, char *argv[]);

    // Carries out the options in arguments (the program name first); a QCoreApplication must
    // exist. Exit status 0 on success, 1 when the work failed, 2 for arguments not understood.
    static int execute(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
