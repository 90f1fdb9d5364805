#include "Live_Rows.h"
#include "Test_Slave.h"
#include "live/Live_Engine.h"

#include <gtest/gtest.h>

namespace {

using Kind = Live_Event::Kind;
constexpr auto Holding = QModbusDataUnit::HoldingRegisters;
constexpr auto Coils = QModbusDataUnit::Coils;

// An engine with short time-outs and its events, recorded.
class Live_Run : public ::testing::Test {
protected:
    Live_Run() {
        QObject::connect(&engine, &Live_Engine::Event,
                         [this](const Live_Event& event) { events.push_back(event); });
        engine.Set_Reconnect_Pause(20);
    }

    void Plan(Access_Kind kind, const std::vector<Row_Values>& rows, int timeout_ms = 200,
              const Data_Array& initial = Data_Array{}) {
        auto requests = Requests_Of(kind, rows);
        ASSERT_EQ(requests.size(), rows.size()) << "a row was refused";
        engine.Set_Plan(kind, std::move(requests), {timeout_ms, 0}, initial);
    }
    const Live_Request_State& State(int i) const { return engine.States()[static_cast<size_t>(i)]; }
    std::vector<Kind> Events_Of(int request) const {
        std::vector<Kind> kinds;
        for (const Live_Event& event : events)
            if (event.request == request)
                kinds.push_back(event.kind);
        return kinds;
    }
    bool Answered(int i, std::uint64_t count = 1) const { return State(i).answered >= count; }
    bool Failed(int i, std::uint64_t count = 1) const { return State(i).failed >= count; }

    Live_Engine engine;
    std::vector<Live_Event> events;
};

TEST_F(Live_Run, HoldingRegistersLandAtTheirPosition) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    slave.Set(Holding, 10, 0x1234);
    slave.Set(Holding, 11, 0xABCD);
    Data_Array initial;
    initial.fill(7);
    Plan(Access_Kind::Read,
         {{.port = slave.Port(), .address = 10, .npoint = 2, .position = 20},
          {.port = slave.Port(), .address = 10, .npoint = 2, .position = 40, .swap = true}},
         200, initial);
    std::vector<std::pair<int, int>> changed;
    QObject::connect(&engine, &Live_Engine::Bytes_Changed,
                     [&](int first, int last) { changed.emplace_back(first, last); });
    ASSERT_TRUE(engine.Start());
    EXPECT_EQ(engine.Connection_Count(), 1);
    ASSERT_TRUE(Wait_For([&] { return Answered(0) && Answered(1); }));

    const Data_Array& data = engine.Data();
    EXPECT_EQ(std::vector<int>(data.begin() + 19, data.begin() + 25),
              (std::vector<int>{7, 0x12, 0x34, 0xAB, 0xCD, 7}));
    EXPECT_EQ(std::vector<int>(data.begin() + 39, data.begin() + 45),
              (std::vector<int>{7, 0x34, 0x12, 0xCD, 0xAB, 7}));
    EXPECT_NE(std::find(changed.begin(), changed.end(), std::pair{20, 23}), changed.end());
    EXPECT_EQ(Events_Of(0), std::vector<Kind>{Kind::Answered});
    EXPECT_GE(State(0).round_trip_us, 0);
    EXPECT_EQ(State(0).errors_in_row, 0);

    // A value that changes at the slave reaches the array on a later poll.
    slave.Set(Holding, 10, 0x0102);
    ASSERT_TRUE(Wait_For([&] { return engine.Data()[20] == 0x01 && engine.Data()[40] == 0x02; }));
}

TEST_F(Live_Run, CoilsFromStartBitFiveSpanTwoBytes) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    const int coils[] = {1, 0, 1, 1, 0, 1};
    for (int i = 0; i < 6; ++i)
        slave.Set(Coils, 30 + i, static_cast<quint16>(coils[i]));
    Data_Array initial{};
    initial[100] = 0b0000'1111;
    initial[101] = 0b1111'0000;
    Plan(Access_Kind::Read,
         {{.port = slave.Port(),
           .type = "Coil Status",
           .address = 30,
           .npoint = 6,
           .position = 100,
           .bit = 5}},
         200, initial);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Answered(0); }));
    EXPECT_EQ(engine.Data()[100], 0b1010'1111);
    EXPECT_EQ(engine.Data()[101], 0b1111'0101);
}

TEST_F(Live_Run, AnExceptionAnswerIsAFailureNamedByItsCode) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    // The slave has 100 registers: address 99 with two points runs past them.
    Plan(Access_Kind::Read, {{.port = slave.Port(), .address = 99, .npoint = 2, .position = 0}});
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Failed(0); }));
    const Live_Request_State& s = State(0);
    EXPECT_EQ(s.answered, 0u);
    EXPECT_EQ(s.last_error.kind, Live_Error::Kind::Exception);
    EXPECT_EQ(s.last_error.code, 2);
    Lang_Table lang;
    lang.Load_Default_Texts();
    EXPECT_EQ(Live_Error_Text(s.last_error, lang), "Modbus exception 2 (Illegal data address)");
    EXPECT_GE(s.round_trip_us, 0); // the slave did answer
    EXPECT_EQ(Events_Of(0), std::vector<Kind>{Kind::Failed});
}

TEST_F(Live_Run, ASlaveThatNeverAnswersTimesOut) {
    Silent_Slave silent;
    Plan(Access_Kind::Read, {{.port = silent.Port(), .poll = 10}}, 100);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Failed(0, 2); }));
    EXPECT_EQ(State(0).last_error, (Live_Error{Live_Error::Kind::Timeout, 100, {}}));
    EXPECT_EQ(State(0).errors_in_row, static_cast<std::int64_t>(State(0).failed));
    // One failure event for the whole run of failures.
    EXPECT_EQ(Events_Of(0), std::vector<Kind>{Kind::Failed});
    // The connection stays: a time-out is not a reason to connect again.
    EXPECT_EQ(silent.Connections(), 1);
    engine.Stop();
    EXPECT_FALSE(engine.Running());
}

// Max Error failures in a row suspend a request for the rest of the run; Max Error 0 never does.
TEST_F(Live_Run, MaxErrorFailuresInARowSuspendTheRequest) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    const quint16 closed = Free_Port(); // nobody listens: the connection is refused
    Plan(Access_Kind::Read, {{.port = closed, .poll = 10, .max_error = 3},
                             {.port = closed, .poll = 10, .max_error = 0},
                             {.port = slave.Port(),
                              .address = 99,
                              .npoint = 2,
                              .poll = 10,
                              .max_error = 2}, // exception answers count too
                             {.port = slave.Port(), .poll = 10, .max_error = 1}});
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return State(0).suspended && State(2).suspended && Failed(1, 6); }));
    // The requests run on after a suspension; the suspended ones do not.
    ASSERT_TRUE(Wait_For([&] { return Failed(1, 12) && Answered(3, 5); }));
    EXPECT_EQ(State(0).failed, 3u);
    EXPECT_EQ(State(0).sent, 0u); // nothing went out over a refused connection
    EXPECT_EQ(State(0).last_error.kind, Live_Error::Kind::Refused);
    EXPECT_EQ(Events_Of(0), (std::vector<Kind>{Kind::Failed, Kind::Suspended}));
    EXPECT_EQ(State(2).failed, 2u);
    EXPECT_EQ(State(2).sent, 2u);
    EXPECT_FALSE(State(1).suspended);
    EXPECT_FALSE(State(3).suspended);
}

// A slave that goes away fails its requests; when it comes back they recover.
TEST_F(Live_Run, ARequestRecoversWhenItsSlaveComesBack) {
    auto slave = std::make_unique<Test_Slave>();
    ASSERT_TRUE(slave->Listen());
    const quint16 port = slave->Port();
    Plan(Access_Kind::Read, {{.port = port, .poll = 10}});
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Answered(0); }));
    slave.reset();
    ASSERT_TRUE(Wait_For([&] { return Failed(0, 2); }));
    slave = std::make_unique<Test_Slave>();
    ASSERT_TRUE(slave->Listen(port));
    const std::uint64_t answered = State(0).answered;
    ASSERT_TRUE(Wait_For([&] { return Answered(0, answered + 1); }));
    EXPECT_EQ(Events_Of(0), (std::vector<Kind>{Kind::Answered, Kind::Failed, Kind::Recovered}));
    EXPECT_EQ(State(0).errors_in_row, 0);
}

// Requests of one connection are served in turn.
TEST_F(Live_Run, RequestsOfAConnectionTakeTurns) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Plan(Access_Kind::Read, {{.port = slave.Port(), .poll = 1, .position = 0},
                             {.port = slave.Port(), .poll = 1, .position = 2},
                             {.port = slave.Port(), .poll = 1, .position = 4}});
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Answered(0, 30); }));
    engine.Stop();
    for (int i = 1; i < 3; ++i) {
        const auto a = static_cast<std::int64_t>(State(0).sent);
        const auto b = static_cast<std::int64_t>(State(i).sent);
        EXPECT_LE(std::abs(a - b), 1) << i;
    }
}

TEST_F(Live_Run, AWriteTableRunsOnlyWhenAllowed) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Data_Array initial{};
    initial[0] = 0x12;
    initial[1] = 0x34;
    initial[2] = 0x56;
    initial[3] = 0x78;
    initial[8] = 0b1010'0000; // bits 5..7
    initial[9] = 0b0000'0011; // bits 0..1
    Plan(Access_Kind::Write,
         {{.port = slave.Port(), .address = 10, .npoint = 2, .poll = 100000, .position = 0},
          {.port = slave.Port(),
           .address = 20,
           .npoint = 1,
           .poll = 100000,
           .position = 2,
           .swap = true},
          {.port = slave.Port(),
           .type = "Coil Status",
           .address = 40,
           .npoint = 5,
           .poll = 100000,
           .position = 8,
           .bit = 5},
          {.port = slave.Port(),
           .type = "Coil Status",
           .address = 50,
           .npoint = 1,
           .poll = 100000,
           .position = 8,
           .bit = 5}},
         200, initial);
    EXPECT_FALSE(engine.Start());
    EXPECT_FALSE(engine.Running());
    engine.Allow_Writes(true);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Answered(0) && Answered(1) && Answered(2) && Answered(3); }));
    EXPECT_EQ(slave.Writes(), 4);
    EXPECT_EQ(slave.Get(Holding, 10), 0x1234);
    EXPECT_EQ(slave.Get(Holding, 11), 0x5678);
    EXPECT_EQ(slave.Get(Holding, 20), 0x7856);
    const int coils[] = {1, 0, 1, 1, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(slave.Get(Coils, 40 + i), coils[i]) << i;
    EXPECT_EQ(slave.Get(Coils, 45), 0);
    EXPECT_EQ(slave.Get(Coils, 50), 1);
}

TEST_F(Live_Run, OnChangeSendsOnceAfterAChannelChange) {
    Test_Slave slave;
    ASSERT_TRUE(slave.Listen());
    Plan(Access_Kind::Write,
         {{.port = slave.Port(),
           .address = 5,
           .npoint = 1,
           .poll = 100000,
           .position = 10,
           .on_change = true},
          {.port = slave.Port(), .address = 6, .npoint = 1, .poll = 100000, .position = 20}});
    engine.Allow_Writes(true);
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(Wait_For([&] { return Answered(0) && Answered(1); }));
    EXPECT_EQ(slave.Get(Holding, 5), 0);

    engine.Set_Byte(11, 200);  // channel 12: the low byte of the On Change register
    engine.Set_Byte(20, 0x99); // a request without On Change waits for its poll
    ASSERT_TRUE(Wait_For([&] { return Answered(0, 2); }));
    EXPECT_EQ(slave.Get(Holding, 5), 200);
    EXPECT_EQ(State(0).sent, 2u);
    EXPECT_EQ(State(1).sent, 1u);
    EXPECT_EQ(slave.Get(Holding, 6), 0);
    EXPECT_EQ(slave.Writes(), 3);
}

} // namespace
