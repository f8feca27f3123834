#include "MolvaneCommandLine.h"

#include "Platform/AddressBook/VCardImport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {
enum ExitStatus
{
    Success = 0,
    Failure = 1,
    Usage = 2
};

const QCommandLineOption importOption(QStringLiteral("import-contacts"),
                                      QStringLiteral("Add the contacts of one or more vCard "
                                                     "files (2.1, 3.0 or 4.0) to the address "
                                                     "book."),
                                      QStringLiteral("FILE.vcf"));
const QCommandLineOption exportOption(QStringLiteral("export-contacts"),
                                      QStringLiteral("Write every contact to a vCard 4.0 file."),
                                      QStringLiteral("FILE.vcf"));
const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show these options."));
const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the version."));

void describeParser(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Asks the mobile operator to call you back. Started without options, it "
                       "opens its window."));
    parser.addOptions({importOption, exportOption, helpOption, versionOption});
    parser.addPositionalArgument(QStringLiteral("FILE.vcf"),
                                 QStringLiteral("More files for --import-contacts."),
                                 QStringLiteral("[FILE.vcf...]"));
}

int usageError(QTextStream &err, const QString &message)
{
    err << "molvane: " << message << "\nTry 'molvane --help' for the options.\n";
    return Usage;
}

int importContacts(const QStringList &files, QTextStream &out, QTextStream &err)
{
    VCardImportReport report;
    std::optional<ABError> error;
    if (!ABAddressBookImportVCardFiles(files, &report, &error)) {
        err << "molvane: " << error->localizedDescription() << "\nNothing was imported.\n";
        return Failure;
    }
    for (const QString &line : std::as_const(report.imported))
        out << "imported " << line << '\n';
    for (const QString &line : std::as_const(report.skipped))
        out << "skipped  " << line << '\n';
    out << "Imported " << report.personsAdded << " contacts from " << files.size()
        << (files.size() == 1 ? " file" : " files") << "; " << report.groupsAdded << " new groups, "
        << report.groupsJoined << " existing groups with new members.\n";
    return Success;
}

int exportContacts(const QString &file, QTextStream &out, QTextStream &err)
{
    std::optional<ABError> error;
    const std::optional<int> count = ABAddressBookExportVCardFile(file, &error);
    if (!count) {
        err << "molvane: " << error->localizedDescription() << '\n';
        return Failure;
    }
    out << "Exported " << *count << " contacts to " << file << ".\n";
    return Success;
}
} // namespace

int MolvaneCommandLine::run(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MOLVANE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return execute(QCoreApplication::arguments(), out, err);
}

int MolvaneCommandLine::execute(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    describeParser(parser);
    if (!parser.parse(arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.isSet(versionOption)) {
        out << "molvane " << MOLVANE_VERSION << '\n';
        return Success;
    }
    const bool importing = parser.isSet(importOption);
    if (importing && parser.isSet(exportOption))
        return usageError(err, QStringLiteral("import and export cannot be done in one run."));
    if (importing)
        return importContacts(parser.values(importOption) + parser.positionalArguments(), out, err);
    if (!parser.positionalArguments().isEmpty())
        return usageError(err, QStringLiteral("unexpected argument '%1'.")
                                   .arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(exportOption))
        return usageError(err, QStringLiteral("no option given."));
    if (parser.values(exportOption).size() > 1)
        return usageError(err, QStringLiteral("contacts are exported to one file."));
    return exportContacts(parser.value(exportOption), out, err);
}
