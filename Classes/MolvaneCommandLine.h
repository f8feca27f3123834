#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

// The command-line options, handled before any window exists: importing and exporting
// contacts, help and version.
class MolvaneCommandLine
{
public:
    MolvaneCommandLine() = delete;

    // The exit status when the arguments ask for one of the options, or nothing when the
    // application should start (no arguments, or the toolkit's own single-dash options).
    static std::optional<int> run(int argc, char *argv[]);

    // Carries out the options in arguments (the program name first); a QCoreApplication must
    // exist. Exit status 0 on success, 1 when the work failed, 2 for arguments not understood.
    static int execute(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
