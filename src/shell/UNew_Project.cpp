#include "shell/UNew_Project.h"

TFNew_Project::TFNew_Project(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFNew_Project", true)
    , ctx_(context) {}
