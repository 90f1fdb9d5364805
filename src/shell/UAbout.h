#pragma once

#include "shell/App_Context.h"
#include "widgets/Tessaro_Dialog.h"

// Placeholder: the window is built by its own piece of work.
class TFAbout : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFAbout(App_Context& context, QWidget* parent);
    void Set_Lang() {}

private:
    App_Context& ctx_;
};
