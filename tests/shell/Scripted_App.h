#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>

#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

template <typename T> T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// The whole program on a temporary folder as the executable's folder. The main window opens its
// dialogs without a modal loop: each is shown, driven by the script kept under its name, and
// closed as by its close box when the script leaves it open.
class Scripted_App : public ::testing::Test {
protected:
    // customise runs on the context after the modal showing has been put in place.
    void Start(const std::function<void(App_Context&)>& customise = {}) {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [&](App_Context& ctx) {
            ctx.Show_Modal = [this](QDialog& dialog) {
                shown.append(dialog.objectName());
                dialog.show();
                const auto script = scripts.find(dialog.objectName());
                if (script != scripts.end())
                    script->second(dialog);
                if (dialog.isVisible())
                    dialog.reject();
                return dialog.result();
            };
            if (customise)
                customise(ctx);
        });
        window = &app->Main_Window();
    }
    void Click(const char* button) {
        auto* control = Child<QPushButton>(*window, button);
        ASSERT_NE(control, nullptr);
        control->click();
    }
    QString Label(const char* name) {
        auto* label = Child<QLabel>(*window, name);
        return label ? label->text() : QStringLiteral("<missing>");
    }
    App_State& State() { return app->Context().state; }
    std::string Messages_Text() const { return messages.Texts().join(" | ").toStdString(); }

    Temp_Folder folder;
    Recording_Messages messages;
    std::unique_ptr<Tessaro_App> app;
    TFTessaroFirmWare* window = nullptr;
    // What the user does in a dialog, by the dialog's object name.
    std::map<QString, std::function<void(QDialog&)>> scripts;
    // The dialogs shown, in order.
    QStringList shown;
};
