#pragma once

#include <QObject>
#include <QThread>

#include <chrono>
#include <functional>

// Runs the referee's turns off the GUI thread, one at a time, on one thread
// for the window's whole life: a bot dies with the thread that started it,
// so a stream bot started at one move must find the same thread at the next.
class MoveThread : public QObject {
    Q_OBJECT

public:
    explicit MoveThread(QObject* parent = nullptr);
    // Waits for the job in progress; end its bot first to keep that short.
    ~MoveThread() override;

    // Starts `job` on the thread; false, doing nothing, while one still runs.
    // `finished` follows on this object's thread.
    bool run(std::function<void()> job);
    bool busy() const { return busy_; }
    std::chrono::steady_clock::duration elapsed() const;

signals:
    void finished();

private:
    QThread thread_;
    QObject* worker_ = nullptr; // lives on the thread
    bool busy_ = false;
    std::chrono::steady_clock::time_point started_;
};
