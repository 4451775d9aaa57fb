#include "TFormMainLE.h"
#include "TIlxApplication.h"
#include "TSingleInstance.h"

#include <QMessageBox>

int main(int argc, char** argv)
{
    TIlxApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ilumerix"));
    QApplication::setOrganizationName(QStringLiteral("i-Lumerix"));

    TSingleInstance guard(TSingleInstance::GuardName(QStringLiteral("i-Lumerix")));
    if (!guard.Acquire()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("i-Lumerix"),
                        QStringLiteral("\"i-Lumerix\" or \"Setup i-Lumerix\" software\n"
                                       "already in use"),
                        QMessageBox::Ok);
        box.exec();
        guard.RequestFront();
        return 0;
    }

    QApplication::setApplicationDisplayName(QStringLiteral("i-Lumerix Light Edition"));
    TFormMainLE form;
    app.SetErrorHandler([&form](const QString& message) { form.HandleApplicationError(message); });
    QObject::connect(&guard, &TSingleInstance::FrontRequested, &form, &TFormMainLE::BringToFront);
    form.show();
    return app.exec();
}
