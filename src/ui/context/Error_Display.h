#pragma once

#include <QApplication>
#include <utility>

#include "platform/Error.h"
#include "platform/Messages.h"

class Lang_Table;

// The one place where an error that escapes a user action reaches the user: an error box with its
// message (a file problem in the language of lang, when there is one); the program goes on.
void Show_Escaped_Error(Messages& messages, QWidget* parent, const std::exception& error,
                        const Lang_Table* lang = nullptr);

// Runs a user action; an error that escapes it is shown and the action ends there. True when the
// action ran to its end.
template <typename Action>
bool Run_Guarded(Messages& messages, QWidget* parent, Action&& action,
                 const Lang_Table* lang = nullptr) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& error) {
        Show_Escaped_Error(messages, parent, error, lang);
        return false;
    }
}

// The application object: an error that escapes an event handler is shown instead of ending the
// program.
class Tessaro_Application : public QApplication {
public:
    Tessaro_Application(int& argc, char** argv);
    void Set_Messages(Messages* messages, const Lang_Table* lang = nullptr) {
        messages_ = messages;
        lang_ = lang;
    }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Messages* messages_ = nullptr;
    const Lang_Table* lang_ = nullptr;
};
