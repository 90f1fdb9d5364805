#pragma once

#include <QString>

class QWidget;

// The message boxes of the program. Windows show every message through this service, so tests
// replace it with a recorder that answers questions from a script.
class Messages {
public:
    virtual ~Messages() = default;
    // An error box with one OK button.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // A warning box with one OK button.
    virtual void Warning(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    // An information box with one OK button.
    virtual void Information(QWidget* parent, const QString& text) = 0;
};
