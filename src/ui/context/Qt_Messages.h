#pragma once

#include "platform/Messages.h"

// The message boxes of the desktop.
class Qt_Messages final : public Messages {
public:
    void Error(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    void Information(QWidget* parent, const QString& text) override;
};
