#include "Test_Http_Server.h"
#include "web/Version_Checker.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <optional>

namespace {

class Version_Query : public ::testing::Test {
protected:
    Version_Query() {
        server_address.host = QStringLiteral("127.0.0.1");
        server_address.port = server.Port();
        QObject::connect(&checker, &Version_Checker::Version_Checked,
                         [this](bool newer) { result = newer; });
    }

    // Runs one check against the server and gives its outcome.
    std::optional<bool> Check() {
        result.reset();
        EXPECT_TRUE(checker.Check_Version(server_address));
        EXPECT_TRUE(Wait_Until([this] { return result.has_value(); }));
        EXPECT_FALSE(checker.Running());
        return result;
    }

    Test_Http_Server server;
    Version_Server server_address;
    Version_Checker checker;
    std::optional<bool> result;
};

TEST_F(Version_Query, AsksThePathWithTheHeadersOfTheProgram) {
    server.answer.body = "VER. 1.002";
    Check();
    ASSERT_EQ(server.requests.size(), 1);
    const QByteArray& head = server.requests[0];
    // Qt's HTTP client speaks HTTP/1.1 only.
    EXPECT_EQ(Test_Http_Server::Request_Line(head),
              "GET /home/download/GetversionSW.asp?nomesw=VC40362 HTTP/1.1");
    EXPECT_EQ(Test_Http_Server::Header(head, "Host"),
              "127.0.0.1:" + QByteArray::number(server.Port()));
    EXPECT_EQ(Test_Http_Server::Header(head, "Accept"),
              "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(Test_Http_Server::Header(head, "User-Agent"),
              "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_FALSE(Test_Http_Server::Has_Header(head, "Cookie"));
    EXPECT_FALSE(Test_Http_Server::Has_Header(head, "Upgrade"));
}

TEST_F(Version_Query, JudgesEachAnswerOfTheServer) {
    struct Case {
        int status;
        QByteArray body;
        bool newer;
    };
    const Case cases[] = {
        {200, "VER. 1.002", true},
        {200, "ver. 1.002", true},
        {200, "\r\n  VER. 1.002 \r\n", true},
        {200, "Ver. 1.002\n", true},
        {200, "VER. 1.001", false},
        {200, "VER. 0.000", false},
        {200, "ver. 0.000", false},
        {200, "", false},
        {200, "<html><body><h1>Server Error</h1></body></html>", false},
        {200, "1.002", true},
        {200, "VER. 10.00", false},
        {200, "VER. 2.5", false},
        // An error status: the answer is not read, whatever it says.
        {404, "VER. 1.002", false},
        {500, "<html><body>Internal Server Error</body></html>", false},
        // Far longer than any answer of the query.
        {200, "VER. 1.002" + QByteArray(200 * 1024, ' '), false},
    };
    for (const Case& c : cases) {
        server.answer.status = c.status;
        server.answer.body = c.body;
        EXPECT_EQ(Check(), c.newer) << c.status << " " << c.body.left(60).toStdString();
    }
    EXPECT_EQ(server.requests.size(), int(std::size(cases)));
}

TEST_F(Version_Query, ARefusedConnectionIsNoNewerVersion) {
    server_address.port = Test_Http_Server::Closed_Port();
    EXPECT_EQ(Check(), false);
}

TEST_F(Version_Query, AServerThatDoesNotAnswerEndsAtTheTimeOut) {
    server.answer.hold = true;
    server_address.timeout_ms = 300;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Check(), false);
    EXPECT_EQ(server.requests.size(), 1);
    // Well before the 15 s the test waits at most.
    EXPECT_LT(clock.elapsed(), 10000);
}

TEST_F(Version_Query, RunsOneQueryAtATime) {
    server.answer.hold = true;
    server.answer.body = "VER. 1.002";
    ASSERT_TRUE(checker.Check_Version(server_address));
    EXPECT_TRUE(checker.Running());
    EXPECT_FALSE(checker.Check_Version(server_address));
    ASSERT_TRUE(Wait_Until([this] { return server.requests.size() == 1; }));
    server.Release();
    ASSERT_TRUE(Wait_Until([this] { return result.has_value(); }));
    EXPECT_EQ(result, true);
    EXPECT_EQ(server.requests.size(), 1);
}

TEST_F(Version_Query, NeitherSendsNorKeepsCookies) {
    server.answer.body = "VER. 1.001";
    server.answer.extra_headers = "Set-Cookie: session=42; Path=/\r\n";
    Check();
    Check();
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_FALSE(Test_Http_Server::Has_Header(server.requests[1], "Cookie"));
}

TEST_F(Version_Query, AnAbortedQueryGivesNoAnswer) {
    server.answer.hold = true;
    ASSERT_TRUE(checker.Check_Version(server_address));
    ASSERT_TRUE(Wait_Until([this] { return server.requests.size() == 1; }));
    checker.Abort();
    EXPECT_FALSE(checker.Running());
    server.Release();
    Wait_Until([] { return false; }, 200);
    EXPECT_FALSE(result.has_value());
}

} // namespace
