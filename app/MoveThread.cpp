#include "MoveThread.h"

MoveThread::MoveThread(QObject* parent) : QObject(parent), worker_(new QObject)
{
    thread_.setObjectName("referee");
    worker_->moveToThread(&thread_);
    thread_.start();
}

MoveThread::~MoveThread()
{
    thread_.quit();
    thread_.wait();
    delete worker_;
}

bool MoveThread::run(std::function<void()> job)
{
    if (busy_)
        return false;
    busy_ = true;
    started_ = std::chrono::steady_clock::now();
    QMetaObject::invokeMethod(worker_, [this, job = std::move(job)] {
        job();
        // Dropped by Qt when this object is gone by then.
        QMetaObject::invokeMethod(this, [this] {
            busy_ = false;
            emit finished();
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return true;
}

std::chrono::steady_clock::duration MoveThread::elapsed() const
{
    return busy_ ? std::chrono::steady_clock::now() - started_ : std::chrono::steady_clock::duration{};
}
