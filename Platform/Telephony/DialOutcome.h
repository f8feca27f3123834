#pragma once

#include <functional>
#include <optional>

// What became of one dial: sent (the modem took the call, or the network the service request),
// or why not.
class DialOutcome
{
public:
    enum Failure
    {
        Refused,        // the string could not be dialled and never reached a modem
        NoService,      // no modem, or its service is gone
        NotAuthorised,  // the service would not let us dial
        ModemError,     // the modem or the network refused the call
        NetworkRefused, // the network turned the service request down; calling it would not help
        OutcomeUnknown, // no answer in time: the request may still have gone out
    };

    static DialOutcome sent() { return DialOutcome(std::nullopt); }
    static DialOutcome failed(Failure failure) { return DialOutcome(failure); }

    bool wasSent() const { return !why; }
    // Nothing when the dial was sent.
    std::optional<Failure> failure() const { return why; }

    bool operator==(const DialOutcome &) const = default;

private:
    explicit DialOutcome(std::optional<Failure> failure) : why(failure) {}

    std::optional<Failure> why;
};

// Told the outcome of one dial, exactly once.
using DialCompletion = std::function<void(const DialOutcome &outcome)>;

const char *DialOutcomeName(const DialOutcome &outcome);
