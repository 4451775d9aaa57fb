#pragma once

// The tests' network camera (tests/network), started and stopped by a test:
// "rtsp" or "http", on a free port of 127.0.0.1, with any further arguments
// the server takes (--auth=user:password, a size, a pattern).
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

class TestCameraServer
{
public:
    explicit TestCameraServer(const QString& kind, const QStringList& more = {})
    {
        process_.setProgram(QStringLiteral(ILX_CAMERA_SERVER));
        process_.setArguments(QStringList{kind} + more + QStringList{QStringLiteral("0")});
        process_.start();
        if (!process_.waitForStarted(5000))
            return;
        QElapsedTimer t;
        t.start();
        while (port_ == 0 && t.elapsed() < 10000) {
            process_.waitForReadyRead(200);
            const QByteArray line = process_.readLine().trimmed();
            if (line.startsWith("READY "))
                port_ = line.mid(6).toInt();
        }
    }
    ~TestCameraServer() { Stop(); }
    TestCameraServer(const TestCameraServer&) = delete;
    TestCameraServer& operator=(const TestCameraServer&) = delete;

    int Port() const { return port_; }
    // As a camera that is switched off: gone at once.
    void Stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

private:
    QProcess process_;
    int port_ = 0;
};
