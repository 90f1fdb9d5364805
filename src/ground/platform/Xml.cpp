#include "platform/Xml.h"

#include "platform/Error.h"
#include "platform/Files.h"

namespace {

constexpr unsigned Parse_Options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_declaration | pugi::parse_doctype;

QString From_Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

void Load_Xml_Bytes(const QByteArray& data, const QString& display_name, pugi::xml_document& doc) {
    const pugi::xml_parse_result result =
        doc.load_buffer(data.constData(), static_cast<size_t>(data.size()), Parse_Options);
    if (result)
        return;
    // Line and column of the offset where the parser stopped, counted from 1.
    const qsizetype offset =
        std::min<qsizetype>(static_cast<qsizetype>(result.offset), data.size());
    int line = 1;
    int column = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        if (data[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(data[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    throw Tessaro_Error(File_Problem{File_Problem::Kind::Not_Well_Formed, display_name,
                                     QString::fromUtf8(result.description()), line, column});
}

void Load_Xml_File(const QString& path, pugi::xml_document& doc) {
    Load_Xml_Bytes(Read_File_Bytes(path), File_Display_Name(path), doc);
}

pugi::xml_node Root_Element(const pugi::xml_document& doc) {
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_element)
            return node;
    return {};
}

pugi::xml_node First_Child_Element(pugi::xml_node parent, const char* name) {
    if (!parent)
        return {};
    return parent.child(name);
}

std::optional<QString> Element_Text(pugi::xml_node element) {
    if (!element || element.type() != pugi::node_element)
        return std::nullopt;
    const pugi::xml_node first = element.first_child();
    if (!first)
        return QString();
    if (first.next_sibling())
        return std::nullopt;
    if (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)
        return std::nullopt;
    return From_Utf8(first.value());
}

std::optional<QString> Attribute_Text(pugi::xml_node node, const char* name) {
    if (!node)
        return std::nullopt;
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return std::nullopt;
    return From_Utf8(attribute.value());
}

std::optional<QString> Element_Text_At(pugi::xml_node root, const char* group, const char* child) {
    return Element_Text(First_Child_Element(First_Child_Element(root, group), child));
}

pugi::xml_node Append_Text_Element(pugi::xml_node parent, const char* name, const QString& text) {
    pugi::xml_node element = parent.append_child(name);
    if (!text.isEmpty())
        element.append_child(pugi::node_pcdata).set_value(text.toUtf8().constData());
    return element;
}

void Set_Attribute(pugi::xml_node node, const char* name, const QString& value) {
    node.append_attribute(name).set_value(value.toUtf8().constData());
}

namespace {

// Escapes a text for element content (in_attribute false) or for a value in double quotes.
void Append_Escaped(QByteArray& out, const char* text, bool in_attribute) {
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '"':
            out += in_attribute ? "&quot;" : "\"";
            break;
        case '\t':
            out += in_attribute ? "&#9;" : "\t";
            break;
        case '\n':
            out += in_attribute ? "&#10;" : "\n";
            break;
        default:
            out += *p;
        }
    }
}

void Append_Node(QByteArray& out, pugi::xml_node node) {
    switch (node.type()) {
    case pugi::node_element: {
        out += '<';
        out += node.name();
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            out += ' ';
            out += attribute.name();
            out += "=\"";
            Append_Escaped(out, attribute.value(), true);
            out += '"';
        }
        if (!node.first_child()) {
            out += "/>";
            break;
        }
        out += '>';
        for (pugi::xml_node child : node.children())
            Append_Node(out, child);
        out += "</";
        out += node.name();
        out += '>';
        break;
    }
    case pugi::node_pcdata:
        Append_Escaped(out, node.value(), false);
        break;
    case pugi::node_cdata:
        out += "<![CDATA[";
        out += node.value();
        out += "]]>";
        break;
    case pugi::node_comment:
        out += "<!--";
        out += node.value();
        out += "-->";
        break;
    default:
        // Declarations, instructions and document types are never written by the program.
        break;
    }
}

} // namespace

QByteArray Xml_Raw_Bytes(const pugi::xml_document& doc) {
    // Written by hand rather than by pugixml, which leaves ">" unescaped in attribute values.
    QByteArray out;
    for (pugi::xml_node node : doc.children())
        Append_Node(out, node);
    return out;
}

void Save_Xml_File(const QString& path, const pugi::xml_document& doc) {
    if (const auto error = Write_File_Atomic(path, Xml_Raw_Bytes(doc)))
        throw Tessaro_Error(
            File_Problem{File_Problem::Kind::Cannot_Be_Written, File_Display_Name(path), *error});
}
