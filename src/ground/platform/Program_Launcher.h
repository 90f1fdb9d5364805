#pragma once

#include <QString>

// Whether a program could be started, and the system's reason when it could not.
struct Launch_Report {
    bool Started = true;
    QString Reason;
};

// Starts another program (the device updater) and waits for it. Windows use it through this
// interface, so tests put a fake or a launcher with a short limit in its place.
class Program_Launcher {
public:
    virtual ~Program_Launcher() = default;
    // Runs the program file with the parameter text (may be empty), its window hidden when hidden
    // is true, and waits until it ends or the launcher's time limit has passed. Reports nothing:
    // a program that is missing or cannot be started returns at once, without a message.
    virtual void Start_Program(const QString& program, const QString& parameters, bool hidden) = 0;
    // The same, and says whether the program started and, when it did not, why. A launcher that
    // cannot tell reports every program as started.
    virtual Launch_Report Launch(const QString& program, const QString& parameters, bool hidden) {
        Start_Program(program, parameters, hidden);
        return {};
    }
};

// The launcher of the desktop: the program runs without a shell; while the launcher waits it
// checks every 10 ms whether the program has ended, the windows repaint but every key, mouse
// click and close request is dropped. A program still running at the limit keeps running on its
// own: it is never killed, not even when the configurator exits.
class Qt_Program_Launcher final : public Program_Launcher {
public:
    static constexpr int Default_Time_Limit_Ms = 150000;
    static constexpr int Poll_Interval_Ms = 10;

    explicit Qt_Program_Launcher(int time_limit_ms = Default_Time_Limit_Ms)
        : time_limit_ms_(time_limit_ms) {}

    void Start_Program(const QString& program, const QString& parameters, bool hidden) override;
    Launch_Report Launch(const QString& program, const QString& parameters, bool hidden) override;

    int Time_Limit_Ms() const { return time_limit_ms_; }

    // Programs that outlived their wait and are still running.
    static int Programs_Left_Running();

private:
    int time_limit_ms_;
};
