// ilx_notification_sink SECONDS: a private session bus with a desktop
// notification service on it. Prints the bus's address, then one line
// "notified: SUMMARY" for each notification, and ends after SECONDS (or half
// a second after the first notification), taking its bus with it.
#include "FakeNotifications.h"
#include "PrivateSessionBus.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bool ok = false;
    const int seconds = app.arguments().value(1).toInt(&ok);
    if (!ok || seconds <= 0) {
        QTextStream(stderr) << "usage: ilx_notification_sink SECONDS\n";
        return 2;
    }
    PrivateSessionBus bus;
    FakeNotifications service(bus.Address());
    QTextStream out(stdout);
    if (bus.Address().isEmpty() || !service.Registered()) {
        QTextStream(stderr) << "no notification service: " << bus.Error() << '\n';
        return 1;
    }
    out << bus.Address() << Qt::endl;
    qsizetype told = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (; told < service.Notifications().size(); ++told)
            out << "notified: " << service.Notifications().at(told).Summary << Qt::endl;
        if (told > 0)
            QTimer::singleShot(500, &app, &QCoreApplication::quit);
    });
    poll.start(100);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
