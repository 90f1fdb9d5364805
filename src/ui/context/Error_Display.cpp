#include "context/Error_Display.h"

#include <QWidget>
#include <cstdio>

void Show_Escaped_Error(Messages& messages, QWidget* parent, const std::exception& error) {
    const auto* own = dynamic_cast<const Tessaro_Error*>(&error);
    const QString text = own ? own->Message() : QString::fromLocal8Bit(error.what());
    messages.Error(parent, text);
}

Tessaro_Application::Tessaro_Application(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool Tessaro_Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (messages_)
            Show_Escaped_Error(*messages_, activeWindow(), error);
        else
            std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
}
