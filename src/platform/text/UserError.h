#pragma once
#include <QString>
#include <stdexcept>

namespace platform {

// An error whose message is meant for the user. Handlers at the window boundary catch it and
// show the message in an error box; nothing below a window shows boxes itself.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

} // namespace platform
