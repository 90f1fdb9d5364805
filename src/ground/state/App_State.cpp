#include "state/App_State.h"

void App_State::Set_Files() {
    ParGen_File = Project_Dir + QStringLiteral("/ParGen.xml");
    DMX_Default_Values_File = Project_Dir + QStringLiteral("/DMX_Default_Values.xml");
    ModbusTCPM_SetAccess_File = Project_Dir + QStringLiteral("/ModbusTCPM_SetAccess.xml");
}

QStringList App_State::Language_Folders() const {
    QStringList folders{Language_Dir};
    if (!Shipped_Language_Dir.isEmpty() && Shipped_Language_Dir != Language_Dir)
        folders.append(Shipped_Language_Dir);
    return folders;
}
