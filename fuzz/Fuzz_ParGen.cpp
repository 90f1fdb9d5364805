// ParGen.xml, the communication settings: read by the Set Communication dialog, the DMX default
// values dialog (channel count) and the access dialog (DMX role). A file that cannot be read is
// an error naming the file for all three readers; settings that were read pass or fail the
// dialog's checks consistently, and the file the dialog writes reads back as the same settings
// (up to the white space that XML itself folds, see Xml_Text_Read_Back).

#include "Fuzz_Support.h"
#include "access/Access_File.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"

#include <optional>

namespace {

QString Values(const Comm_Settings& s) {
    QStringList values;
    for (int i = 0; i < Comm_Settings::Value_Count; ++i)
        values.append(s.Value(i));
    return values.join(QStringLiteral(" | "));
}

// The error of a reader, or nothing when it read the file.
template <typename Read> std::optional<QString> Error_Of(Read&& read) {
    try {
        read();
    } catch (const Tessaro_Error& error) {
        return error.Message();
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = Write_Fuzz_File(QStringLiteral("ParGen.xml"), Fuzz_Bytes(data, size));
    Comm_Settings settings;
    const auto error = Error_Of([&] { settings = Load_Comm_Settings(path); });
    const auto count_error = Error_Of([&] { Load_DMX_Channel_Count(path); });
    const auto kind_error = Error_Of([&] { Access_Kind_For_DMX(path); });
    FUZZ_REQUIRE(
        error.has_value() == count_error.has_value() && error.has_value() == kind_error.has_value(),
        error.value_or(QStringLiteral("the dialog read it")) + QStringLiteral("\n") +
            count_error.value_or(QStringLiteral("the channel count was read")) +
            QStringLiteral("\n") + kind_error.value_or(QStringLiteral("the DMX role was read")));
    if (error) {
        FUZZ_REQUIRE(error->startsWith(QLatin1String("ParGen.xml: ")), *error);
        return 0;
    }
    FUZZ_REQUIRE(settings.DMX_DMX == QLatin1String("0") || settings.DMX_DMX == QLatin1String("1"),
                 settings.DMX_DMX);

    const std::vector<int> failing = Comm_Failing_Entries(settings);
    const auto message = Controllo_Dati(settings, English_Texts());
    FUZZ_REQUIRE(message.has_value() == !failing.empty(), Values(settings));

    Write_Fuzz_File(QStringLiteral("ParGen.xml"), Comm_Settings_Bytes(settings));
    Comm_Settings again;
    const auto reread = Error_Of([&] { again = Load_Comm_Settings(path); });
    FUZZ_REQUIRE(!reread, reread.value_or(QString()));
    Comm_Settings expected = settings;
    for (int i = 0; i < Comm_Settings::Value_Count; ++i)
        expected.Value(i) = Xml_Text_Read_Back(settings.Value(i));
    FUZZ_REQUIRE(again == expected, Shown(Values(expected)) + QStringLiteral("\nread back as\n") +
                                        Shown(Values(again)));
    return 0;
}
