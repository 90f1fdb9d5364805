#pragma once

#include <QString>
#include <stdexcept>

// An error that ends the current user action. Its text is meant for the user: it names the file,
// where in it, and what was wrong.
class Tessaro_Error : public std::runtime_error {
public:
    explicit Tessaro_Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};
