#pragma once

// Entries of the string table for the spreadsheet export and import.
namespace exchange_text {

inline constexpr int Button = 745;         // the button's caption
inline constexpr int Button_Hint = 746;    // its hint
inline constexpr int Export = 747;         // menu: "Export..."
inline constexpr int Import = 748;         // menu: "Import..."
inline constexpr int Separator_Menu = 749; // menu: the separator of exported files
inline constexpr int Comma = 750;          // its three choices
inline constexpr int Semicolon = 751;
inline constexpr int Tab = 752;
inline constexpr int Csv_Files = 753; // file dialog filters
inline constexpr int All_Files = 754;
inline constexpr int Cannot_Import = 755; // + file
inline constexpr int Line = 756;          // + line
inline constexpr int Column = 757;        // + column, then the reason
inline constexpr int Column_Count = 758;  // + columns expected
inline constexpr int Too_Many_Rows = 759; // + the most rows of a table
inline constexpr int Open_Quote = 965;
inline constexpr int Stray_Quote = 966;
inline constexpr int Unknown_Title = 967;  // + the title expected
inline constexpr int Channel_Order = 968;  // + the channel expected
inline constexpr int Channel_Beyond = 969; // + the channel count
inline constexpr int Empty_IP_Address = 970;
inline constexpr int Empty_File = 971;
inline constexpr int Control_Character = 972;
inline constexpr int Cannot_Export = 973; // + file, then the reason

} // namespace exchange_text
