#pragma once

#include "shell/App_Context.h"
#include "widgets/Tessaro_Dialog.h"

// Placeholder: the window is built by its own piece of work.
class TFDMXDefVal : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFDMXDefVal(App_Context& context, QWidget* parent);
    void Set_Lang() {}

private:
    App_Context& ctx_;
};
