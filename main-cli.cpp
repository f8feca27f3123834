#include "MolvaneCommandLine.h"

// molvane-cli: the options of molvane (importing and exporting contacts, help, version), which
// molvane hands over to this program.
int main(int argc, char *argv[])
{
    return MolvaneCommandLine::run(argc, argv);
}
