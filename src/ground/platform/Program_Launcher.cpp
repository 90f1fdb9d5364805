#include "platform/Program_Launcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QList>
#include <QProcess>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Drops every user input event of the application while it exists, so that the windows repaint
// during the wait but no click or key press is handled now or queued for later.
class Input_Blocker final : public QObject {
public:
    Input_Blocker() {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    ~Input_Blocker() override {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::NativeGesture:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            // The close box of a window; a close asked for by the program itself goes through.
            return event->spontaneous();
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

// Programs that outlived their wait. Their QProcess objects are kept alive while they run, since
// destroying a QProcess kills its program; each is freed when its program ends, and those still
// running when the configurator exits are left alone.
QList<QProcess*>& Left_Running() {
    static auto* const list = new QList<QProcess*>;
    return *list;
}

void Leave_Running(QProcess* process) {
    Left_Running().append(process);
    QObject::connect(process, &QProcess::finished, process, [process] {
        Left_Running().removeOne(process);
        process->deleteLater();
    });
}

// One pause between two polls: up to Poll_Interval_Ms, shorter when the program ends, with the
// windows' pending events processed (user input is dropped by the blocker).
void Pause(QProcess& process) {
    process.waitForFinished(Qt_Program_Launcher::Poll_Interval_Ms);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

int Qt_Program_Launcher::Programs_Left_Running() {
    return static_cast<int>(Left_Running().size());
}

void Qt_Program_Launcher::Start_Program(const QString& program, const QString& parameters,
                                        bool hidden) {
    Launch(program, parameters, hidden);
}

Launch_Report Qt_Program_Launcher::Launch(const QString& program, const QString& parameters,
                                          bool hidden) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
#ifdef Q_OS_WIN
    process->setNativeArguments(parameters);
    process->setCreateProcessArgumentsModifier([hidden](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = hidden ? SW_HIDE : SW_SHOWNORMAL;
    });
#else
    // A desktop program has no window to hide here; the parameter text is split as a command
    // line would be, without a shell.
    Q_UNUSED(hidden);
    process->setArguments(QProcess::splitCommand(parameters));
#endif
    // The program writes to the configurator's own output and reads nothing: no pipe that could
    // fill up while we wait, or break the program once the configurator has exited.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());

    process->start();
    if (!process->waitForStarted(-1))
        return {false, process->errorString()};

    QElapsedTimer since_launch;
    since_launch.start();
    const Input_Blocker blocker;
    for (;;) {
        if (process->state() == QProcess::NotRunning) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return {};
        }
        if (since_launch.elapsed() >= time_limit_ms_) {
            Leave_Running(process.release());
            return {};
        }
        Pause(*process);
    }
}
