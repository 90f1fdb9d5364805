#include "platform/Icmp_Echo.h"
#include "support/Test_Files.h"
#include "support/Test_Scripts.h"

#include <QElapsedTimer>
#include <QProcess>
#include <cerrno>
#include <gtest/gtest.h>
#include <limits>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// Every echo of these tests goes to a loopback address.

namespace {

using Status = Echo_Report::Status;

TEST(IPv4_Address, ReadsFourDecimalNumbers) {
    const struct {
        const char* text;
        quint32 address;
    } cases[] = {
        {"127.0.0.1", 0x7F000001},
        {" 127 . 0 .0. 1 ", 0x7F000001},
        {"010.000.0.01", 0x0A000001}, // leading zeros are not octal
        {"0.0.0.0", 0},
        {"255.255.255.255", 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        const std::optional<quint32> address = Parse_IPv4_Address(QString::fromLatin1(c.text));
        ASSERT_TRUE(address.has_value()) << c.text;
        EXPECT_EQ(*address, c.address) << c.text;
    }
    EXPECT_EQ(IPv4_Text(0x0A000001), "10.0.0.1");
}

TEST(IPv4_Address, RefusesEverythingElse) {
    for (const char* text :
         {"", ".0.0.1", "127.0.0", "127.0.0.1.5", "256.0.0.1", "1..2.3", "a.b.c.d", "127.0.0.1x",
          "-1.0.0.0", "+1.0.0.0", "localhost", "1 2.0.0.1", "0x7F.0.0.1"})
        EXPECT_FALSE(Parse_IPv4_Address(QString::fromLatin1(text)).has_value()) << text;
}

// An echo client whose sockets are scripted: each call of Open_Socket takes the next entry
// (a descriptor or -errno, or Real: open a real socket of the asked type).
struct Scripted_System {
    static constexpr int Real = std::numeric_limits<int>::min();

    std::vector<int> sockets;
    std::vector<int> asked_types;
    QString ping;

    Icmp_Echo Client() {
        Icmp_Echo::System system;
        system.Open_Socket = [this](int type) {
            asked_types.push_back(type);
            const size_t index = asked_types.size() - 1;
            const int scripted = index < sockets.size() ? sockets[index] : -EPERM;
            return scripted == Real ? Icmp_Echo::Real_System().Open_Socket(type) : scripted;
        };
        system.Find_Ping = [this] { return ping; };
        return Icmp_Echo(system);
    }
};

TEST(Icmp_Echo, AnAddressThatIsNotDottedIPv4IsAnErrorBeforeAnythingIsSent) {
    Scripted_System system;
    Icmp_Echo echo = system.Client();
    for (const char* text : {"", ".0.0.1", "127.0.0.1.1", "127.0.0.a"}) {
        const Echo_Report report = echo.Echo(QString::fromLatin1(text), "data", 400);
        EXPECT_EQ(report.status, Status::Bad_Address) << text;
        EXPECT_TRUE(report.reason.contains("is not an IPv4 address")) << text;
    }
    EXPECT_TRUE(system.asked_types.empty());
}

TEST(Icmp_Echo, LoopbackAnswersWithTheData) {
    Icmp_Echo echo;
    const Echo_Report report = echo.Echo("127.0.0.1", "127.0.0.1", 400);
    ASSERT_EQ(report.status, Status::Reply) << report.reason.toStdString();
    EXPECT_EQ(report.bytes_received, 9) << report.method.toStdString();
}

TEST(Icmp_Echo, TakesARawSocketWhenTheDatagramSocketIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a raw socket needs root";
    Scripted_System system;
    system.sockets = {-EACCES, Scripted_System::Real};
    Icmp_Echo echo = system.Client();
    // Two echoes in a row: each reply is told from the other by its sequence number.
    for (int i = 0; i < 2; ++i) {
        const Echo_Report report = echo.Echo("127.0.0.1", "127.0.0.1", 400);
        ASSERT_EQ(report.status, Status::Reply) << report.reason.toStdString();
        EXPECT_EQ(report.method, "raw socket");
        EXPECT_EQ(report.bytes_received, 9);
        system.asked_types.clear();
    }
}

TEST(Icmp_Echo, AnotherSocketErrorFailsWithItsReason) {
    Scripted_System system;
    system.sockets = {-EMFILE};
    const Echo_Report report = system.Client().Echo("127.0.0.1", "x", 400);
    EXPECT_EQ(report.status, Status::Failed);
    EXPECT_TRUE(report.reason.startsWith("no ICMP socket can be opened"))
        << report.reason.toStdString();
    EXPECT_EQ(system.asked_types, std::vector<int>{SOCK_DGRAM});
}

TEST(Icmp_Echo, WithoutSocketsOrPingTheSystemDoesNotPermitIt) {
    Scripted_System system;
    system.sockets = {-EACCES, -EPERM};
    const Echo_Report report = system.Client().Echo("127.0.0.1", "x", 400);
    EXPECT_EQ(report.status, Status::Failed);
    EXPECT_TRUE(
        report.reason.startsWith("The system does not permit this user to send ICMP echo requests"))
        << report.reason.toStdString();
    EXPECT_TRUE(report.reason.contains("no ping program is installed"));
    EXPECT_EQ(system.asked_types, (std::vector<int>{SOCK_DGRAM, SOCK_RAW}));
}

TEST(Icmp_Echo, WithoutSocketsRunsThePingProgram) {
    Temp_Folder folder;
    const QString args_file = folder.File("args");
    const struct {
        const char* script;
        Status status;
        int bytes;
        const char* reason;
    } cases[] = {
        {"echo '64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.1 ms'; exit 0", Status::Reply, 56,
         ""},
        {"echo '1 packets transmitted, 0 received'; exit 1", Status::No_Reply, 0, ""},
        {"echo 'ping: socket: Operation not permitted' >&2; exit 2", Status::Failed, 0,
         "ping: socket: Operation not permitted"},
        // A ping that does not keep to the time-out is stopped.
        {"sleep 5", Status::No_Reply, 0, ""},
    };
    for (const auto& c : cases) {
        const QString ping = folder.File("ping");
        Write_Script(ping, QStringLiteral("printf '%s\\n' \"$*\" > '%1'\n%2\n")
                               .arg(args_file, QString::fromLatin1(c.script)));
        Scripted_System system;
        system.sockets = {-EACCES, -EPERM};
        system.ping = ping;
        QElapsedTimer clock;
        clock.start();
        // Blanks and leading zeros of the boxes: ping gets the plain address.
        const Echo_Report report = system.Client().Echo(" 127.000.0.01", "x", 400);
        EXPECT_LT(clock.elapsed(), 1500) << c.script;
        EXPECT_EQ(report.status, c.status) << c.script;
        EXPECT_EQ(report.bytes_received, c.bytes) << c.script;
        EXPECT_EQ(report.method, "ping program") << c.script;
        EXPECT_TRUE(report.reason.contains(QString::fromLatin1(c.reason)))
            << report.reason.toStdString();
        EXPECT_EQ(Read_Text(args_file), "-n -c 1 -W 1 127.0.0.1\n") << c.script;
    }
}

// Runs a command; its standard output, or a failure.
struct Run_Result {
    bool ran = false;
    QString output;
    qint64 elapsed_ms = 0;
};

Run_Result Run(const QString& program, const QStringList& args) {
    Run_Result result;
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(20000))
        return result;
    result.elapsed_ms = clock.elapsed();
    result.ran = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (!result.ran)
        result.output += QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// Runs the probe in a network namespace of its own (loopback up) after the shell lines in setup,
// as root or, with as_user, as another user.
Run_Result Probe_In_Namespace(const QString& setup, const QString& probe_args,
                              const QString& as_user = QString()) {
    const QString script = QStringLiteral("ip link set lo up && %1 && exec %2 \"$0\" %3")
                               .arg(setup, as_user, probe_args);
    return Run(QStringLiteral("unshare"),
               {QStringLiteral("--net"), QStringLiteral("--"), QStringLiteral("sh"),
                QStringLiteral("-c"), script, QStringLiteral(PLATFORM_PROBE)});
}

bool Namespaces_Available() {
    return ::geteuid() == 0 &&
           Run(QStringLiteral("unshare"),
               {QStringLiteral("--net"), QStringLiteral("ip"), QStringLiteral("link"),
                QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")})
               .ran;
}

const QString Allow_Group_Root = QStringLiteral("echo '0 0' > /proc/sys/net/ipv4/ping_group_range");
const QString Allow_No_Group = QStringLiteral("echo '1 0' > /proc/sys/net/ipv4/ping_group_range");
const QString Ignore_Echo = QStringLiteral("echo 1 > /proc/sys/net/ipv4/icmp_echo_ignore_all");
const QString As_Nobody = QStringLiteral("setpriv --reuid=65534 --regid=65534 --clear-groups");

TEST(Icmp_Echo_System, ADatagramSocketIsTakenWhereTheSystemAllowsIt) {
    if (!Namespaces_Available())
        GTEST_SKIP() << "needs root and network namespaces";
    const Run_Result result = Probe_In_Namespace(Allow_Group_Root, "echo 127.0.0.1");
    ASSERT_TRUE(result.ran) << result.output.toStdString();
    EXPECT_EQ(result.output, "reply 9 via datagram socket");
}

TEST(Icmp_Echo_System, AnUnansweredEchoTimesOutAfter400Ms) {
    if (!Namespaces_Available())
        GTEST_SKIP() << "needs root and network namespaces";
    const struct {
        QString setup;
        const char* expected;
    } cases[] = {
        {Allow_Group_Root + " && " + Ignore_Echo, "no-reply via datagram socket"},
        {Allow_No_Group + " && " + Ignore_Echo, "no-reply via raw socket"},
    };
    for (const auto& c : cases) {
        const Run_Result result = Probe_In_Namespace(c.setup, "echo 127.0.0.1");
        ASSERT_TRUE(result.ran) << result.output.toStdString();
        EXPECT_EQ(result.output, c.expected);
        EXPECT_GE(result.elapsed_ms, 400);
        EXPECT_LT(result.elapsed_ms, 3000);
    }
}

TEST(Icmp_Echo_System, AUserWithoutIcmpSocketsFallsBackToThePingProgram) {
    if (!Namespaces_Available())
        GTEST_SKIP() << "needs root and network namespaces";
    if (Icmp_Echo::Real_System().Find_Ping().isEmpty())
        GTEST_SKIP() << "no ping program installed";
    const Run_Result result = Probe_In_Namespace(Allow_No_Group, "echo 127.0.0.1", As_Nobody);
    ASSERT_TRUE(result.ran) << result.output.toStdString();
    if (result.output.startsWith("failed via ping program"))
        GTEST_SKIP() << "the ping program does not work for this user here: "
                     << result.output.toStdString();
    EXPECT_EQ(result.output, "reply 56 via ping program");
}

TEST(Icmp_Echo_System, AUserWithoutIcmpSocketsOrPingIsToldThatTheSystemDoesNotPermitIt) {
    if (!Namespaces_Available())
        GTEST_SKIP() << "needs root and network namespaces";
    const Run_Result result =
        Probe_In_Namespace(Allow_No_Group, "echo 127.0.0.1 --no-ping", As_Nobody);
    ASSERT_TRUE(result.ran) << result.output.toStdString();
    EXPECT_TRUE(result.output.startsWith("failed via : The system does not permit this user to "
                                         "send ICMP echo requests"))
        << result.output.toStdString();
}

} // namespace
