#include "MolvaneAppDelegate.h"
#include "MolvaneCommandLine.h"

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = MolvaneCommandLine::run(argc, argv))
        return *status;
    return UIApplicationMain(argc, argv, [] { return std::make_unique<MolvaneAppDelegate>(); });
}
