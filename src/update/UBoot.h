#pragma once

#include "shell/App_Context.h"
#include "widgets/Tessaro_Dialog.h"

// Placeholder: the window is built by its own piece of work.
class TFBoot : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFBoot(App_Context& context, QWidget* parent);
    void Set_Lang() {}
    // 1: update over Ethernet.
    int Form_Type = 1;

private:
    App_Context& ctx_;
};
