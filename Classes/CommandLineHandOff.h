#pragma once

// The window's program answers no options itself: it hands them to molvane-cli, which alone
// links the vCard libraries, so that the window starts without loading them.
class CommandLineHandOff
{
public:
    CommandLineHandOff() = delete;

    // Whether the arguments ask for an option rather than the window. The toolkit's own
    // single-dash options (-platform, -style ...) and tel: links are the window's.
    static bool asksForAnOption(int argc, char *argv[]);

    // Replaces this process by molvane-cli with the same arguments. Returns only when that
    // cannot be done, with the exit status, having said why.
    static int handOff(char *argv[]);
};
