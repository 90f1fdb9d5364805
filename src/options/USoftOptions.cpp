#include "options/USoftOptions.h"

TFSoftOptions::TFSoftOptions(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFSoftOptions", true)
    , ctx_(context) {}
