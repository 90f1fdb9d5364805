#include "comm/UDMXDefVal.h"

TFDMXDefVal::TFDMXDefVal(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFDMXDefVal", false)
    , ctx_(context) {}
