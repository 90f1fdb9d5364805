#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class Lang_Table;

// The communication settings of one configuration, as held in ParGen.xml: the converter's role
// on the DMX line, its channel count, and its Ethernet and Modbus TCP master parameters. Every
// value is a text exactly as the user typed it; only the checks before saving read numbers.
struct Comm_Settings {
    // Index of the DMX choice: "0" IN (the converter is DMX slave), "1" OUT (DMX master).
    QString DMX_DMX = QStringLiteral("1");
    QString DMX_Num_Channels = QStringLiteral("512");
    QString Modbus_TCP_Master_TimeOut = QStringLiteral("1000"); // ms
    QString Modbus_TCP_Master_Cyclic = QStringLiteral("100");   // ms
    QString Modbus_TCP_Master_IP1 = QStringLiteral("192");
    QString Modbus_TCP_Master_IP2 = QStringLiteral("168");
    QString Modbus_TCP_Master_IP3 = QStringLiteral("0");
    QString Modbus_TCP_Master_IP4 = QStringLiteral("5");
    QString Modbus_TCP_Master_SM1 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM2 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM3 = QStringLiteral("255");
    QString Modbus_TCP_Master_SM4 = QStringLiteral("0");
    QString Modbus_TCP_Master_GAT1 = QStringLiteral("192");
    QString Modbus_TCP_Master_GAT2 = QStringLiteral("168");
    QString Modbus_TCP_Master_GAT3 = QStringLiteral("0");
    QString Modbus_TCP_Master_GAT4 = QStringLiteral("1");
    // "1" when the default gateway is enabled, else "0".
    QString Modbus_TCP_Master_EN_GAT = QStringLiteral("0");

    static constexpr int Value_Count = 17;
    // The element names in the order the file holds them.
    static const std::array<const char*, Value_Count>& Element_Names();
    // The value of the element at position i of Element_Names().
    QString& Value(int i);
    const QString& Value(int i) const;

    // 0 (IN) or 1 (OUT).
    int DMX_Index() const { return DMX_DMX == QLatin1String("0") ? 0 : 1; }
    void Set_DMX_Index(int index) { DMX_DMX = QString::number(index == 0 ? 0 : 1); }
    bool Gateway_Enabled() const { return Modbus_TCP_Master_EN_GAT == QLatin1String("1"); }
    void Set_Gateway_Enabled(bool on) { Modbus_TCP_Master_EN_GAT = QLatin1String(on ? "1" : "0"); }

    bool operator==(const Comm_Settings&) const = default;
};

// Reads ParGen.xml. Without a file every value takes its default. Each value is looked up on its
// own among the children of the document's first element; a missing element keeps its default.
// DMX_DMX becomes the index of the DMX choice (OUT for anything but the integer 0), and the
// gateway is enabled only by exactly "1". Throws Tessaro_Error when the file exists but cannot
// be read or is not well-formed XML.
Comm_Settings Load_Comm_Settings(const QString& path);

// The bytes of ParGen.xml for these settings: Par_Gen with the seventeen values in their fixed
// order, then the version comment; no declaration, no indentation.
QByteArray Comm_Settings_Bytes(const Comm_Settings& settings);

// Replaces ParGen.xml in one step; throws Tessaro_Error naming the file and the reason.
void Save_Comm_Settings(const QString& path, const Comm_Settings& settings);

// The checks made before the settings are saved, in their fixed order: the channel count (24 to
// 512), the reply time-out (0 to 100000), the cyclic delay (0 to 10000), the four address bytes,
// the four mask bytes, and the four gateway bytes only while the gateway is enabled (0 to 255
// each). A text that is not an integer fails. Each failing check gives the string-table entry of
// its message.
std::vector<int> Comm_Failing_Entries(const Comm_Settings& settings);

// The message of the first failing check, or nothing when the settings may be saved.
std::optional<QString> Controllo_Dati(const Comm_Settings& settings, const Lang_Table& lang);

// The messages of every failing check, in order.
QStringList Comm_Failure_Messages(const Comm_Settings& settings, const Lang_Table& lang);
