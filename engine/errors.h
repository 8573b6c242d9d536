#pragma once
// The engine's exception classes. Each carries the exact message the program
// shows to the user.
#include <stdexcept>
#include <string>

namespace quorvil {

class EEngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that is not a JFile database, a bad chunk header, a malformed file.
class EInOutError : public EEngineError {
public:
    using EEngineError::EEngineError;
};

// A record or field index out of range.
class ERangeError : public EEngineError {
public:
    using EEngineError::EEngineError;
};

// An allocation that fails.
class EOutOfMemory : public EEngineError {
public:
    using EEngineError::EEngineError;
};

// A file or stream that cannot be opened, created, read or written.
class EStreamError : public EEngineError {
public:
    using EEngineError::EEngineError;
};

// Why a database opened read-only is not saved into its own file.
std::string ReadOnlyFileMessage(const std::string& fileName);

// printf-style formatting for the fixed messages ("... out of range (%d)").
std::string FormatMessage(const char* format, long long value);

}  // namespace quorvil
