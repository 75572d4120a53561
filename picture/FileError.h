#pragma once

#include <stdexcept>
#include <string>

// The one error for every problem with a file: missing, unreadable, not of the
// expected kind, truncated, damaged, or not writable. The message is meant to
// be shown to a person as it stands.
class TFileError : public std::runtime_error {
public:
    explicit TFileError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};
