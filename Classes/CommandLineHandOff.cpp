#include "CommandLineHandOff.h"

#include "TelLink.h"

#include <QByteArray>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {
// Next to this program in a build tree; in the helpers' directory once installed.
std::filesystem::path optionsProgram()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path directory = self.parent_path();
    const std::filesystem::path beside = directory / "molvane-cli";
    if (std::filesystem::exists(beside, error))
        return beside;
    return directory / MOLVANE_HELPERS_FROM_BINARIES / "molvane-cli";
}
} // namespace

bool CommandLineHandOff::asksForAnOption(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    for (int index = 1; index < argc; ++index) {
        const QByteArray argument(argv[index]);
        if (argument.startsWith("--") || argument == "-h" || argument == "-v")
            return true;
    }
    const QByteArray first(argv[1]);
    return !first.startsWith('-') && !TelLink::isLink(QString::fromLocal8Bit(first));
}

int CommandLineHandOff::handOff(char *argv[])
{
    const std::filesystem::path program = optionsProgram();
    execv(program.c_str(), argv);
    std::fprintf(stderr, "molvane: the options program %s cannot be started: %s\n", program.c_str(),
                 std::strerror(errno));
    return 1;
}
