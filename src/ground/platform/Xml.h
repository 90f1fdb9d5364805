#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <pugixml.hpp>

// XML documents of the program: comments, processing instructions and the declaration are kept
// as nodes so that the document's node list reads as it stands in the file; text that is only
// white space between elements is dropped.

// Parses a file into doc; throws Tessaro_Error naming the file, the parser's reason and the line
// and column where it stopped.
void Load_Xml_File(const QString& path, pugi::xml_document& doc);
// Parses bytes; on failure the message names display_name.
void Load_Xml_Bytes(const QByteArray& data, const QString& display_name, pugi::xml_document& doc);

// The document's first element: a declaration, comments or processing instructions before it
// are passed over. A null node when the document has no element.
pugi::xml_node Root_Element(const pugi::xml_document& doc);

// The first child element with exactly this name, or a null node.
pugi::xml_node First_Child_Element(pugi::xml_node parent, const char* name);

// The text of an element whose content is plain text: "" for an empty element, the text of its
// single text or CDATA child; nothing for a null node or mixed content.
std::optional<QString> Element_Text(pugi::xml_node element);

// The value of an attribute, or nothing when the node lacks it.
std::optional<QString> Attribute_Text(pugi::xml_node node, const char* name);

// The first child element named child of the first child element named group of root, as text.
std::optional<QString> Element_Text_At(pugi::xml_node root, const char* group, const char* child);

// Appends an element with the given text (no text node for an empty text).
pugi::xml_node Append_Text_Element(pugi::xml_node parent, const char* name, const QString& text);
void Set_Attribute(pugi::xml_node node, const char* name, const QString& value);

// The document as written by the program: UTF-8, no declaration, no indentation.
QByteArray Xml_Raw_Bytes(const pugi::xml_document& doc);

// Writes the document raw and atomically; throws Tessaro_Error naming the file and the reason.
void Save_Xml_File(const QString& path, const pugi::xml_document& doc);

// The version comment written after the root of every project file.
inline constexpr char Project_File_Comment[] = "SW_VERSION = 1.001";
