#include "update/UBoot.h"

TFBoot::TFBoot(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFBoot", true)
    , ctx_(context) {}
