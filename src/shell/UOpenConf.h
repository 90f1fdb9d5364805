#pragma once

#include "shell/App_Context.h"
#include "widgets/Tessaro_Dialog.h"

// Placeholder: the window is built by its own piece of work.
class TFOpenConf : public Tessaro_Dialog {
    Q_OBJECT
public:
    TFOpenConf(App_Context& context, QWidget* parent);
    void Set_Lang() {}
    // The configuration chosen so far.
    QString Name_Conf;

private:
    App_Context& ctx_;
};
