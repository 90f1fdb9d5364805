#include "shell/UOpenConf.h"

TFOpenConf::TFOpenConf(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFOpenConf", false)
    , ctx_(context) {}
