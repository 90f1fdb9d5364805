// The whole compile of "Update Device" from a configuration folder. One input holds the three
// project files, in this order, separated by a line "%%FILE%%":
//     ParGen.xml, DMX_Default_Values.xml, ModbusTCPM_SetAccess.xml
// A file whose part is missing (fewer parts) or is exactly "!" is not in the folder.
// A compile either fails with a message naming one of the three files, or gives the 35328 bytes
// of bank.bin whose stored settings sum matches its bytes, with no request entry beyond the count.

#include "Fuzz_Support.h"
#include "image/Bank_Layout.h"
#include "image/USaveBincc.h"
#include "platform/Error.h"

#include <QtEndian>

namespace {

const char* const File_Names[3] = {"ParGen.xml", "DMX_Default_Values.xml",
                                   "ModbusTCPM_SetAccess.xml"};

std::uint32_t U32_At(const QByteArray& bytes, std::uint32_t offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = Fuzz_Bytes(data, size);
    const QByteArray separator("\n%%FILE%%\n");
    qsizetype start = 0;
    for (const char* name : File_Names) {
        const QString file = QString::fromLatin1(name);
        if (start > input.size()) {
            Remove_Fuzz_File(file);
            continue;
        }
        qsizetype end = input.indexOf(separator, start);
        if (end < 0)
            end = input.size();
        const QByteArray part = input.mid(start, end - start);
        if (part == "!")
            Remove_Fuzz_File(file);
        else
            Write_Fuzz_File(file, part);
        start = end + separator.size();
    }

    QByteArray bank;
    try {
        bank = Compile_Configuration(Fuzz_Folder());
    } catch (const Tessaro_Error& error) {
        bool named = false;
        for (const char* name : File_Names)
            named = named || error.Message().startsWith(QLatin1String(name) + QLatin1String(": "));
        FUZZ_REQUIRE(named, error.Message());
        return 0;
    }
    FUZZ_REQUIRE(bank.size() == static_cast<qsizetype>(Bank_Size), QString::number(bank.size()));
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < Settings_Checksum_Offset; ++i)
        sum += static_cast<std::uint8_t>(bank[Settings_Block_Offset + i]);
    const std::uint32_t stored = U32_At(bank, Settings_Block_Offset + Settings_Checksum_Offset);
    FUZZ_REQUIRE(stored == sum, QStringLiteral("stored %1, computed %2").arg(stored).arg(sum));

    const std::uint32_t count = U32_At(bank, Settings_Block_Offset + 72);
    FUZZ_REQUIRE(count <= static_cast<std::uint32_t>(Request_Table_Entries),
                 QString::number(count));
    for (std::uint32_t i = count * Request_Record_Size; i < Request_Table_Size; ++i)
        FUZZ_REQUIRE(bank[Request_Table_Offset + i] == 0,
                     QStringLiteral("byte %1 after %2 requests").arg(i).arg(count));
    return 0;
}
