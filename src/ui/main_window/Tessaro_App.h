#pragma once

#include <QString>
#include <memory>

#include "context/App_Context.h"
#include "main_window/UTessaroFirmWare.h"

// The program's windows, created once in their fixed order with the main window first (its
// creation runs start-up, so every later window finds the string table filled).
class Tessaro_App {
public:
    // messages: the message service, or nullptr for the desktop's message boxes. customise runs
    // on the context before any window exists (tests put their services in there).
    explicit Tessaro_App(const QString& exe_dir, Messages* messages = nullptr,
                         const std::function<void(App_Context&)>& customise = {});
    ~Tessaro_App();

    App_Context& Context() { return ctx_; }
    TFTessaroFirmWare& Main_Window() { return *main_window_; }
    const Tessaro_Windows& Windows() const { return main_window_->Windows(); }

private:
    std::unique_ptr<Messages> own_messages_;
    App_Context ctx_;
    std::unique_ptr<TFTessaroFirmWare> main_window_;
};
