#include "exchange/Csv_Format.h"

#include <gtest/gtest.h>

namespace {

// Each field is known by the physical line on which it begins, whatever the line ends.
TEST(Csv_Format, FieldsKnowTheLineOnWhichTheyBegin) {
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        SCOPED_TRACE(end.size() == 2 ? "CR LF" : end == "\n" ? "LF" : "CR");
        const QByteArray text =
            QByteArray("a,b") + end + end + "\"c" + end + end + "d\",e" + end + "f,\"" + end + "\"";
        const Csv_Document doc = Read_Csv(text, 2, 100);
        ASSERT_FALSE(doc.error);
        ASSERT_EQ(doc.records.size(), 3u);
        EXPECT_EQ(doc.records[0].line, 1);
        EXPECT_EQ(doc.records[1].fields[0].text, "c" + QString::fromLatin1(end + end) + "d");
        EXPECT_EQ(doc.records[1].fields[0].line, 3);
        EXPECT_EQ(doc.records[1].fields[1].line, 5);
        EXPECT_EQ(doc.records[2].line, 6);
        EXPECT_EQ(doc.records[2].fields[1].text, QString::fromLatin1(end));
    }
}

TEST(Csv_Format, SeparatorComesFromTheFirstRecord) {
    const struct {
        const char* text;
        int expected_columns;
        char separator;
    } cases[] = {
        {"a;b;c\n1,5;2;3\n", 3, ';'}, // the one that gives the columns expected
        {"a,b;c;d\n", 2, ','},        // likewise, though semicolons are more
        {"a\tb\tc\tx;y\n", 9, '\t'},  // else the most frequent
        {"\"a;b;c\",d\n", 2, ','},    // quoted separators do not count
        {"\r\n\r\na;b\n", 2, ';'},    // empty lines before the header are skipped
        {"abc\n", 3, ','},            // none at all: comma
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Read_Csv(c.text, c.expected_columns, 100).separator, c.separator);
    }
}

TEST(Csv_Format, StopsAfterTheMostRecordsAskedFor) {
    QByteArray text;
    for (int i = 0; i < 1000; ++i)
        text += "x,y\n,\n";
    const Csv_Document doc = Read_Csv(text, 2, 10);
    EXPECT_TRUE(doc.truncated);
    // Ten records with text, each followed by one blank record but the last.
    EXPECT_EQ(doc.records.size(), 19u);
    EXPECT_EQ(doc.records.back().line, 19);
}

} // namespace
