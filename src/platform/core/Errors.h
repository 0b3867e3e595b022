#pragma once
// The error classes of the compatibility core. Every one carries a message meant for the user
// and derives from platform::UserError, so the handlers at the window boundary show any of them
// the same way; code that must tell them apart catches the specific class.
#include "platform/text/UserError.h"

#include <QString>

namespace platform {

// The general error: raised where the program's code reports a failure without a class of its
// own ("Invalid cell", a file that cannot be opened).
class Exception : public UserError {
public:
    using UserError::UserError;
};

// Text that is not a number, date or colour; an impossible date; a format argument of the wrong
// kind; an assignment between classes that cannot copy each other.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list, a duplicate refused by a list, an operation a sorted list forbids.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// An object used as a class it is not.
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};

// A picture whose data cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Failures of the grid suite's own formats and ranges; the grid raises it with a fixed English
// message.
class EExtGridError : public Exception {
public:
    using Exception::Exception;
};

} // namespace platform
