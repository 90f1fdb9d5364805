// Tessaro.xml, the settings beside the executable: read as start-up reads it. A file that cannot
// be parsed is a problem naming the file, never a crash; what the program writes for the values
// it read reads back as the same values (up to the white space that XML itself folds).

#include "Fuzz_Support.h"
#include "state/Settings.h"

#include <QStringList>

namespace {

QString Values(const App_State& s) {
    return QStringList{s.Project_Name,
                       s.Last_IP_Address,
                       s.Language,
                       QString::number(s.Enable_Internet),
                       QString::number(s.Enable_Update),
                       QString::number(s.Enable_Jump_Field_Tables),
                       QString::number(s.Double_Click_Auto_Size)}
        .join(QStringLiteral(" | "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    App_State state;
    state.Exe_Dir = Fuzz_Folder();
    Write_Fuzz_File(QStringLiteral("Tessaro.xml"), Fuzz_Bytes(data, size));
    if (const auto problem = Load_Setting(state))
        FUZZ_REQUIRE(problem->startsWith(QLatin1String("Tessaro.xml")), *problem);
    FUZZ_REQUIRE(state.Project_Dir.isEmpty(), state.Project_Dir);

    const QByteArray written = Setting_Bytes(state);
    Write_Fuzz_File(QStringLiteral("Tessaro.xml"), written);
    App_State again;
    again.Exe_Dir = Fuzz_Folder();
    const auto problem = Load_Setting(again);
    FUZZ_REQUIRE(!problem, problem.value_or(QString()));
    App_State expected = state;
    for (QString* text : {&expected.Project_Name, &expected.Last_IP_Address, &expected.Language})
        *text = Xml_Text_Read_Back(*text);
    FUZZ_REQUIRE(Values(again) == Values(expected), Shown(Values(expected)) +
                                                        QStringLiteral("\nread back as\n") +
                                                        Shown(Values(again)));
    return 0;
}
