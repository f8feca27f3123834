#pragma once

#include <QLoggingCategory>

// The application's one diagnostic log. Lines carry no levels of their own meaning.
Q_DECLARE_LOGGING_CATEGORY(lcMolvane)
