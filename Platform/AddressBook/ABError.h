#pragma once

#include <QString>
#include <optional>

// Why an address-book operation failed, with a sentence fit to show the user.
class ABError
{
public:
    enum class Code
    {
        StoreUnavailable,
        SaveFailed,
        InvalidProperty,
        InvalidValue,
        ReadOnlyProperty,
        WrongRecordType,
        RecordNotInAddressBook,
        PersonNotSaved,
        NotAMember,
        FileUnreadable,
        FileNotWritten,
    };

    ABError(Code code, const QString &description) : errorCode(code), description(description) {}

    Code code() const { return errorCode; }
    QString localizedDescription() const { return description; }

private:
    Code errorCode;
    QString description;
};

// The error out-parameter of the operations that can fail; callers may pass nullptr.
using ABErrorOut = std::optional<ABError> *;

// Fills the out-parameter, when there is one, and returns false for the caller to pass on.
inline bool ABFail(ABErrorOut error, ABError::Code code, const QString &description)
{
    if (error)
        *error = ABError(code, description);
    return false;
}
