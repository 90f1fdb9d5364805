#include "comm/UParGen.h"

TFParGen::TFParGen(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFParGen", true)
    , ctx_(context) {}
