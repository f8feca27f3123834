#pragma once

#include <QString>

// The directory that holds the user's documents (the call log, the address book):
// $XDG_DATA_HOME/molvane. It is created when missing, so callers can write into it at once.
QString DocumentsDirectory();
