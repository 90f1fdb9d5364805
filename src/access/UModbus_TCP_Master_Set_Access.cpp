#include "access/UModbus_TCP_Master_Set_Access.h"

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(App_Context& context,
                                                               QWidget* parent)
    : Tessaro_Dialog(parent, "TFModbus_TCP_Master_Set_Access", false)
    , ctx_(context) {}
