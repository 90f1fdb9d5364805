#include "Live_Rows.h"
#include "Test_Slave.h"
#include "access/Access_File.h"
#include "support/Test_Files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

constexpr auto Holding = QModbusDataUnit::HoldingRegisters;

struct Run_Result {
    int status = -1;
    QString out;
    QString err;
};

// The built tessaro-cli, run while this test's event loop serves the slaves.
class Cli_Run : public ::testing::Test {
protected:
    void Configure(const char* dmx, const std::vector<Row_Values>& rows) {
        Write_Text(folder.File("ParGen.xml"),
                   QStringLiteral("<Par_Gen><DMX_DMX>%1</DMX_DMX><Modbus_TCP_Master_TimeOut>200"
                                  "</Modbus_TCP_Master_TimeOut><Modbus_TCP_Master_Cyclic>0"
                                  "</Modbus_TCP_Master_Cyclic></Par_Gen>")
                       .arg(dmx));
        Access_Table access;
        access.Reset_Access_Table();
        int slot = 0;
        const bool read = QString(dmx) == "1";
        for (const Row_Values& row : rows)
            Put_Row(read ? access.Read : access.Write, ++slot,
                    read ? Read_Row(row) : Write_Row(row));
        Save_Access_File(folder.File("ModbusTCPM_SetAccess.xml"), access);
    }

    void Start(const QStringList& arguments) {
        process.start(QStringLiteral(TESSARO_CLI), QStringList{"run", folder.Path()} + arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    Run_Result Finish() {
        Run_Result result;
        if (!Wait_For([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
            ADD_FAILURE() << "tessaro-cli did not finish";
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        // Under the sanitizers a fault ends the program with a status the tests might expect.
        EXPECT_FALSE(result.err.contains("runtime error") || result.err.contains("Sanitizer"))
            << result.err.toStdString();
        return result;
    }
    Run_Result Run(const QStringList& arguments) {
        Start(arguments);
        return Finish();
    }
    static std::vector<QJsonObject> Json_Lines(const QString& out) {
        std::vector<QJsonObject> objects;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            objects.push_back(document.object());
        }
        return objects;
    }

    Temp_Folder folder;
    QProcess process;
};

TEST_F(Cli_Run, PrintsStateChangesAndASummary) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 0, 0x0A0B);
    Configure("1",
              {{.port = slave.Port(), .npoint = 1, .position = 0, .mnemonic = "Boiler"},
               {.port = slave.Port(), .address = 99, .npoint = 2, .max_error = 2, .position = 2}});
    const Run_Result run = Run({"--seconds", "0.8"});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QString port = QString::number(slave.Port());
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Dry run of %1: the read table (DMX OUT), 2 "
                                                  "requests on 1 connection, time-out 200 ms, "
                                                  "cyclic delay 0 ms, 0.8 s\n")
                                       .arg(folder.Path())))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("row 1  127.0.0.1:%1 unit 1 (Boiler): answered first, round trip ")
            .arg(port)))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("row 2  127.0.0.1:%1 unit 1: failed: Modbus exception 2 (Illegal data "
                       "address)\n")
            .arg(port)));
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("row 2  127.0.0.1:%1 unit 1: suspended after 2 errors in a row\n")
            .arg(port)));
    EXPECT_TRUE(run.out.contains("\nSummary after ")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QRegularExpression(
        QStringLiteral("\n +2  127\\.0\\.0\\.1:%1 +1 +3 +2 +0 +2 +2 +[0-9.]+  yes +"
                       "Modbus exception 2 \\(Illegal data address\\)\n")
            .arg(port))))
        << run.out.toStdString();
    // Channels 1 and 2 hold the register, channels 3..6 what the failing request would fill.
    EXPECT_TRUE(run.out.contains("    1:  10  11   0   0   0   0   .   ."))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith("1 of 2 requests never got a good answer.\n"));
}

TEST_F(Cli_Run, JsonLinesEndWithTheDataArrayAndTheCounters) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 3, 0x1234);
    Configure("1", {{.port = slave.Port(),
                     .address = 3,
                     .npoint = 1,
                     .poll = 10,
                     .position = 510,
                     .swap = true,
                     .mnemonic = "Swapped \"one\""}});
    const Run_Result run = Run({"--seconds", "0.5", "--json-lines"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const auto lines = Json_Lines(run.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front()["event"], "start");
    EXPECT_EQ(lines.front()["table"], "read");
    EXPECT_EQ(lines.front()["timeout_ms"], 200);
    EXPECT_EQ(lines[1]["event"], "answered");
    EXPECT_EQ(lines[1]["slot"], 1);
    EXPECT_EQ(lines[1]["mnemonic"], "Swapped \"one\"");
    EXPECT_EQ(lines[1]["slave"], QStringLiteral("127.0.0.1:%1").arg(slave.Port()));
    const QJsonObject summary = lines.back();
    EXPECT_EQ(summary["event"], "summary");
    EXPECT_EQ(summary["ok"], true);
    EXPECT_EQ(summary["interrupted"], false);
    const QJsonArray data = summary["data"].toArray();
    ASSERT_EQ(data.size(), 512);
    EXPECT_EQ(data[510], 0x34);
    EXPECT_EQ(data[511], 0x12);
    EXPECT_EQ(data[0], 0);
    const QJsonObject request = summary["requests"].toArray().at(0).toObject();
    EXPECT_EQ(request["slot"], 1);
    EXPECT_EQ(request["function"], 3);
    EXPECT_GE(request["answered"].toInt(), 2);
    EXPECT_EQ(request["failed"], 0);
    EXPECT_EQ(request["suspended"], false);
    EXPECT_TRUE(request["last_error"].isNull());
    EXPECT_TRUE(request["round_trip_ms"].isDouble());
}

// A slave that goes down in the middle of the run fails it, although its request answered
// before: suspended, or its last attempt failed; the summary names it and leaves the slave that
// still answers out.
TEST_F(Cli_Run, ASlaveThatStopsAnsweringHalfwayFailsTheRun) {
    struct Case {
        int max_error;
        bool json;
        const char* reason; // the key in the JSON summary, the words in the text
    };
    for (const Case& c :
         {Case{2, false, "suspended after 2 errors in a row, after "}, Case{0, false, "its last "},
          Case{2, true, "suspended"}, Case{0, true, "last_attempt_failed"}}) {
        SCOPED_TRACE(c.reason);
        Test_Slave steady;
        Test_Slave stopping;
        ASSERT_TRUE(steady.Listen());
        ASSERT_TRUE(stopping.Listen());
        Configure("1", {{.port = steady.Port(), .poll = 20, .position = 0},
                        {.port = stopping.Port(),
                         .poll = 20,
                         .max_error = c.max_error,
                         .position = 2,
                         .mnemonic = "Pump"}});
        Start(c.json ? QStringList{"--seconds", "2.5", "--json-lines"}
                     : QStringList{"--seconds", "2.5"});
        QString out;
        ASSERT_TRUE(Wait_For([&] {
            out += QString::fromUtf8(process.readAllStandardOutput());
            return out.count(c.json ? "\"event\": \"answered\"" : "answered first") == 2;
        })) << out.toStdString();
        stopping.Close();
        Run_Result run = Finish();
        run.out.prepend(out);
        EXPECT_EQ(run.status, 1) << run.out.toStdString();
        const QString pump = QStringLiteral("127.0.0.1:%1").arg(stopping.Port());
        if (c.json) {
            const QJsonObject summary = Json_Lines(run.out).back();
            EXPECT_EQ(summary["ok"], false);
            const QJsonArray failing = summary["failing"].toArray();
            ASSERT_EQ(failing.size(), 1) << run.out.toStdString();
            const QJsonObject request = failing.at(0).toObject();
            EXPECT_EQ(request["slot"], 2);
            EXPECT_EQ(request["slave"], pump);
            EXPECT_EQ(request["mnemonic"], "Pump");
            EXPECT_EQ(request["reason"], c.reason);
            EXPECT_GE(request["answered"].toInt(), 1);
            EXPECT_GE(request["errors_in_row"].toInt(), 1);
            EXPECT_TRUE(request["last_error"].isObject());
        } else {
            EXPECT_TRUE(run.out.contains(
                QStringLiteral("\n1 of 2 requests are not answering at the end of the run:\n"
                               "  row 2  %1 unit 1 (Pump): %2")
                    .arg(pump, c.reason)))
                << run.out.toStdString();
            EXPECT_TRUE(run.out.contains("; last error: ")) << run.out.toStdString();
            EXPECT_FALSE(run.out.contains("never got a good answer")) << run.out.toStdString();
        }
    }
}

TEST_F(Cli_Run, AWriteTableNeedsAllowWrites) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Configure("0", {{.port = slave.Port(), .address = 4, .npoint = 1, .poll = 50, .position = 0}});
    const Run_Result refused = Run({"--seconds", "0.3"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("a dry run writes to 127.0.0.1:%1 unit 1. "
                                                    "Nothing was sent. Add --allow-writes")
                                         .arg(slave.Port())))
        << refused.err.toStdString();
    EXPECT_EQ(slave.Writes(), 0);

    const Run_Result allowed =
        Run({"--seconds", "0.3", "--allow-writes", "--set", "1=200", "--set", "2=7"});
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_GE(slave.Writes(), 1);
    EXPECT_EQ(slave.Get(Holding, 4), 200 * 256 + 7);
}

TEST_F(Cli_Run, WrongArgumentsAreUsageErrors) {
    Configure("1", {{.port = 1502}});
    const QStringList wrong[] = {
        {},
        {"--seconds"},
        {"--seconds", "0"},
        {"--seconds", "abc"},
        {"--seconds", "1", "--set", "0=1"},
        {"--seconds", "1", "--set", "513=1"},
        {"--seconds", "1", "--set", "1=256"},
        {"--seconds", "1", "--set", "1"},
        {"--seconds", "1", "--loud"},
    };
    for (const QStringList& arguments : wrong) {
        const Run_Result run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Usage: tessaro-cli run DIR")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(Cli_Run, NothingToRunFails) {
    // Every enabled row refused by the check.
    Configure("1", {{.port = 1502, .npoint = 200}});
    const Run_Result run = Run({"--seconds", "5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(
        "row 1 not run: Error row 1!! [Modbus Read] NPoint must be between 1 and 125\n"));
    EXPECT_TRUE(run.err.contains("nothing to run")) << run.err.toStdString();
}

#ifdef Q_OS_UNIX
TEST_F(Cli_Run, CtrlCEndsTheRunWithTheSummary) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Configure("1", {{.port = slave.Port(), .poll = 20}});
    Start({"--seconds", "120"});
    QString out;
    ASSERT_TRUE(Wait_For([&] {
        out += QString::fromUtf8(process.readAllStandardOutput());
        return out.contains("answered first");
    }));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    Run_Result run = Finish();
    run.out.prepend(out);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(" s (interrupted):\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith("Every request got a good answer.\n"));
}
#endif

} // namespace
