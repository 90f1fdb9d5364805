#pragma once

#include "platform/Messages.h"

#include <QString>

// Message boxes of a benchmark: none is shown; the last error is kept so a benchmark can report
// a run that went wrong.
class Silent_Messages : public Messages {
public:
    void Error(QWidget*, const QString& text) override { last_error = text; }
    void Warning(QWidget*, const QString&) override {}
    bool Confirm(QWidget*, const QString&) override { return false; }
    void Information(QWidget*, const QString&) override {}
    QString last_error;
};
