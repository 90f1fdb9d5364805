#include "shell/UAbout.h"

TFAbout::TFAbout(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFAbout", true)
    , ctx_(context) {}
