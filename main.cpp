#include "CommandLineHandOff.h"
#include "MolvaneAppDelegate.h"

int main(int argc, char *argv[])
{
    if (CommandLineHandOff::asksForAnOption(argc, argv))
        return CommandLineHandOff::handOff(argv);
    return UIApplicationMain(argc, argv, [] { return std::make_unique<MolvaneAppDelegate>(); });
}
