#include "platform/Program_Launcher.h"
#include "support/Test_Files.h"
#include "support/Test_Scripts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/types.h>

namespace {

qint64 Run_Timed(Qt_Program_Launcher& launcher, const QString& program,
                 const QString& parameters = QString()) {
    QElapsedTimer clock;
    clock.start();
    launcher.Start_Program(program, parameters, false);
    return clock.elapsed();
}

// Waits until the file holds a process id, and gives it.
pid_t Wait_For_Pid(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll().trimmed();
            if (!text.isEmpty())
                return static_cast<pid_t>(text.toLong());
        }
        QThread::msleep(10);
    }
    return 0;
}

// A live process, not one that has ended and waits to be reaped.
bool Is_Running(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype after_name = text.lastIndexOf(')');
    return after_name > 0 && text.size() > after_name + 2 && text[after_name + 2] != 'Z';
}

class Program_Launcher_Test : public ::testing::Test {
protected:
    Temp_Folder folder;
};

TEST_F(Program_Launcher_Test, ReturnsWhenTheProgramEnds) {
    const QString program = folder.File("Flashlink");
    Write_Script(program, "sleep 0.6\ntouch '" + folder.File("done") + "'\n");
    Qt_Program_Launcher launcher;
    const qint64 elapsed = Run_Timed(launcher, program);
    EXPECT_TRUE(QFile::exists(folder.File("done")));
    EXPECT_GE(elapsed, 600);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(Qt_Program_Launcher::Programs_Left_Running(), 0);
}

TEST_F(Program_Launcher_Test, AProgramThatCannotStartReturnsAtOnce) {
    Write_Text(folder.File("not_executable"), "#!/bin/sh\nsleep 5\n");
    for (const QString& program :
         {folder.File("missing"), folder.File("not_executable"), folder.Path(), QString()}) {
        Qt_Program_Launcher launcher;
        EXPECT_LT(Run_Timed(launcher, program), 500) << program.toStdString();
    }
}

// What the update dialog shows when its updater does not start: the system's reason.
TEST_F(Program_Launcher_Test, SaysWhetherTheProgramStartedAndWhyNot) {
    Write_Text(folder.File("not_executable"), "#!/bin/sh\nexit 0\n");
    Write_Script(folder.File("bad_interpreter"), "exit 0\n");
    Write_Text(folder.File("bad_interpreter"), "#!/nonexistent/shell\n");
    Write_Script(folder.File("runs"), "exit 3\n");
    const struct {
        QString program;
        bool started;
        const char* reason; // a part of the reason
    } cases[] = {
        {folder.File("missing"), false, "No such file or directory"},
        {folder.File("not_executable"), false, "Permission denied"},
        {folder.File("bad_interpreter"), false, "No such file or directory"},
        {folder.Path(), false, "Permission denied"},
        {folder.File("runs"), true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        Qt_Program_Launcher launcher;
        const Launch_Report report = launcher.Launch(c.program, QString(), false);
        EXPECT_EQ(report.Started, c.started);
        EXPECT_TRUE(report.Reason.contains(QLatin1String(c.reason))) << report.Reason.toStdString();
        EXPECT_EQ(report.Reason.isEmpty(), c.started);
    }
}

TEST_F(Program_Launcher_Test, HandsOverTheParameterTextWithoutAShell) {
    const QString program = folder.File("Flashlink");
    const QString record = folder.File("args");
    Write_Script(program, "for a in \"$@\"; do echo \"[$a]\" >> '" + record + "'; done\n");
    Qt_Program_Launcher launcher;
    launcher.Start_Program(program, "one \"two words\" $HOME;x", true);
    EXPECT_EQ(Read_Text(record), "[one]\n[two words]\n[$HOME;x]\n");

    QFile::remove(record);
    launcher.Start_Program(program, QString(), false);
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(Program_Launcher_Test, StopsWaitingAtTheLimitAndLeavesTheProgramRunning) {
    const QString program = folder.File("Flashlink");
    const QString pid_file = folder.File("pid");
    Write_Script(program, "echo $$ > '" + pid_file + "'\nexec sleep 30\n");
    Qt_Program_Launcher launcher(400);
    const qint64 elapsed = Run_Timed(launcher, program);
    EXPECT_GE(elapsed, 400);
    EXPECT_LT(elapsed, 1500);

    const pid_t pid = Wait_For_Pid(pid_file);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Is_Running(pid));
    EXPECT_EQ(Qt_Program_Launcher::Programs_Left_Running(), 1);

    // When it ends later, the launcher lets go of it.
    ::kill(pid, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (Qt_Program_Launcher::Programs_Left_Running() > 0 && clock.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(10);
    }
    EXPECT_EQ(Qt_Program_Launcher::Programs_Left_Running(), 0);
}

TEST_F(Program_Launcher_Test, AProgramLeftRunningOutlivesTheConfigurator) {
    const QString program = folder.File("Flashlink");
    const QString pid_file = folder.File("pid");
    Write_Script(program, "echo $$ > '" + pid_file + "'\nexec sleep 30\n");
    QProcess configurator;
    configurator.start(QStringLiteral(PLATFORM_PROBE), {"launch", "300", program});
    ASSERT_TRUE(configurator.waitForFinished(10000));
    EXPECT_EQ(configurator.readAllStandardOutput(), "left running 1\n");

    const pid_t pid = Wait_For_Pid(pid_file);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Is_Running(pid));
    ::kill(pid, SIGTERM);
}

// Records the events it receives.
class Event_Recorder : public QObject {
public:
    bool event(QEvent* event) override {
        types.push_back(event->type());
        return true;
    }
    std::vector<QEvent::Type> types;
};

TEST_F(Program_Launcher_Test, WhileWaitingHandlesEventsButDropsUserInput) {
    const QString program = folder.File("Flashlink");
    Write_Script(program, "sleep 0.5\n");
    Event_Recorder recorder;
    QTimer::singleShot(100, &recorder, [&recorder] {
        QCoreApplication::postEvent(&recorder, new QEvent(QEvent::KeyPress));
        QCoreApplication::postEvent(&recorder, new QEvent(QEvent::User));
    });
    Qt_Program_Launcher launcher;
    launcher.Start_Program(program, QString(), false);
    // The event that is no user input came during the wait; the key press never comes.
    EXPECT_EQ(recorder.types, std::vector<QEvent::Type>{QEvent::User});
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.types, std::vector<QEvent::Type>{QEvent::User});

    // Afterwards input reaches the program again.
    QCoreApplication::postEvent(&recorder, new QEvent(QEvent::KeyPress));
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.types.back(), QEvent::KeyPress);
}

} // namespace
