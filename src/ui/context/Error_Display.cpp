#include "context/Error_Display.h"

#include "lang/Error_Texts.h"

#include <QWidget>
#include <cstdio>

void Show_Escaped_Error(Messages& messages, QWidget* parent, const std::exception& error,
                        const Lang_Table* lang) {
    const auto* own = dynamic_cast<const Tessaro_Error*>(&error);
    const QString text = !own   ? QString::fromLocal8Bit(error.what())
                         : lang ? Error_Message(*own, *lang)
                                : own->Message();
    messages.Error(parent, text);
}

Tessaro_Application::Tessaro_Application(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool Tessaro_Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (messages_)
            Show_Escaped_Error(*messages_, activeWindow(), error, lang_);
        else
            std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
}
