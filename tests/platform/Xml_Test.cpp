#include "platform/Error.h"
#include "platform/Xml.h"

#include <gtest/gtest.h>

namespace {

pugi::xml_document Parse(const char* text) {
    pugi::xml_document doc;
    Load_Xml_Bytes(QByteArray(text), "test.xml", doc);
    return doc;
}

TEST(Xml_Root, IsTheFirstElementAfterDeclarationCommentsAndInstructions) {
    const auto doc = Parse("<?xml version=\"1.0\"?><!--c--><?pi x?><Root><a/></Root><!--after-->");
    EXPECT_STREQ(Root_Element(doc).name(), "Root");
    EXPECT_FALSE(Root_Element(pugi::xml_document()));
}

TEST(Xml_Element_Text, TakesPlainTextOnly) {
    const auto doc = Parse("<r><empty/><text>a &amp; b</text><cdata><![CDATA[<x>]]></cdata>"
                           "<mixed>1<!--c--></mixed><nested><x/></nested><blank>  </blank></r>");
    const auto root = Root_Element(doc);
    EXPECT_EQ(Element_Text(root.child("empty")), QString(""));
    EXPECT_EQ(Element_Text(root.child("text")), QString("a & b"));
    EXPECT_EQ(Element_Text(root.child("cdata")), QString("<x>"));
    EXPECT_EQ(Element_Text(root.child("mixed")), std::nullopt);
    EXPECT_EQ(Element_Text(root.child("nested")), std::nullopt);
    EXPECT_EQ(Element_Text(root.child("missing")), std::nullopt);
    EXPECT_EQ(Element_Text(root.child("blank")), QString(""));
}

TEST(Xml_Lookup, FindsTheFirstElementOfAnExactName) {
    const auto doc = Parse("<r><g><v>1</v><v>2</v><V>3</V></g><g><v>4</v></g></r>");
    EXPECT_EQ(Element_Text_At(Root_Element(doc), "g", "v"), QString("1"));
    EXPECT_EQ(Element_Text_At(Root_Element(doc), "G", "v"), std::nullopt);
    EXPECT_EQ(Element_Text_At(pugi::xml_node(), "g", "v"), std::nullopt);
}

TEST(Xml_Attributes, ReadsByExactName) {
    const auto doc = Parse("<r a=\"x &quot;y&quot;\" b=\"\"/>");
    const auto root = Root_Element(doc);
    EXPECT_EQ(Attribute_Text(root, "a"), QString("x \"y\""));
    EXPECT_EQ(Attribute_Text(root, "b"), QString(""));
    EXPECT_EQ(Attribute_Text(root, "A"), std::nullopt);
}

TEST(Xml_Write, IsRawWithoutDeclarationAndEscaped) {
    pugi::xml_document doc;
    auto root = doc.append_child("Root");
    doc.append_child(pugi::node_comment).set_value(Project_File_Comment);
    Append_Text_Element(root, "empty", "");
    Append_Text_Element(root, "text", QString::fromUtf8("<&> \xc3\xa8"));
    Set_Attribute(root.append_child("row"), "Mnemonic", "a\"b'c&<>\t\n");
    EXPECT_EQ(Xml_Raw_Bytes(doc),
              QByteArray("<Root><empty/><text>&lt;&amp;&gt; \xc3\xa8</text>"
                         "<row Mnemonic=\"a&quot;b'c&amp;&lt;&gt;&#9;&#10;\"/></Root>"
                         "<!--SW_VERSION = 1.001-->"));
    // What is written reads back unchanged.
    pugi::xml_document again;
    Load_Xml_Bytes(Xml_Raw_Bytes(doc), "again.xml", again);
    EXPECT_EQ(Attribute_Text(Root_Element(again).child("row"), "Mnemonic"),
              QString("a\"b'c&<>\t\n"));
}

TEST(Xml_Errors, NameTheFileTheLineAndTheColumn) {
    pugi::xml_document doc;
    try {
        Load_Xml_Bytes("<r>\n  <a></b>\n</r>", "ParGen.xml", doc);
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("ParGen.xml: not a well-formed XML file (line 2, "))
            << error.what();
    }
    EXPECT_THROW(Load_Xml_Bytes("", "empty.xml", doc), Tessaro_Error);
    EXPECT_THROW(Load_Xml_File("/nonexistent/folder/x.xml", doc), Tessaro_Error);
}

} // namespace
