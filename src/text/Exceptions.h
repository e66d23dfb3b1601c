#pragma once

#include <stdexcept>
#include <string>

// Every failure the program reports carries a fixed English message; the application's error handler
// shows it and the program goes on.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Streams: a file that cannot be opened, read or written, or a read past what a stream holds.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// An index outside the range a table allows.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// A mistake in what the user typed (a search text in a syntax it breaks, say).
class EUserError : public Exception {
public:
    using Exception::Exception;
};

// The text model's own failures.
class EFontInfoError : public Exception {
public:
    using Exception::Exception;
};
class EUndoError : public Exception {
public:
    using Exception::Exception;
};
class EInternalError : public Exception {
public:
    using Exception::Exception;
};
class EFindStringError : public Exception {
public:
    using Exception::Exception;
};
class EWriteProtectError : public Exception {
public:
    using Exception::Exception;
};
class EBookmarkError : public Exception {
public:
    using Exception::Exception;
};
class EMaxText : public Exception {
public:
    using Exception::Exception;
};

// Saving in place could not put the new text under the file's name.
class ESaveError : public Exception {
public:
    using Exception::Exception;
};

// The editor's picture of the text and the segment chain disagree; saving writes out what the chain
// holds, so the message asks the user to do that.
[[noreturn]] void RaiseInternalError(const std::string& message);

// A short sentence naming a file and the system's reason for errno `error`, for stream errors.
std::string FileErrorMessage(const char* action, const std::string& fileName, int error);
