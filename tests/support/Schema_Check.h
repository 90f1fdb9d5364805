#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>

// Checks a written file against its schema in the test data folder with xmllint.
inline void Expect_Valid_Xml(const QString& path, const char* schema) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    ASSERT_FALSE(xmllint.isEmpty()) << "xmllint is not installed (Debian: libxml2-utils)";
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(xmllint,
                  {QStringLiteral("--noout"), QStringLiteral("--schema"),
                   QStringLiteral(TESSARO_TEST_DATA "/") + QString::fromLatin1(schema), path});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
}
