#include "Platform/Log.h"

Q_LOGGING_CATEGORY(lcMolvane, "molvane", QtWarningMsg)
