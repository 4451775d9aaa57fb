#pragma once

#include "EIlxError.h"

#include <QApplication>

#include <functional>

// The application object. Every exception that escapes an event handler ends
// here instead of ending the process: it is handed to the error handler the
// main window installs, which tells the user and puts the window in a safe
// state.
class TIlxApplication : public QApplication
{
    Q_OBJECT

public:
    TIlxApplication(int& argc, char** argv);
    ~TIlxApplication() override;

    using ErrorHandler = std::function<void(const QString& message, TErrorSource source)>;
    void SetErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

    bool notify(QObject* receiver, QEvent* event) override;

    // The handler in use: the installed one, else a plain message box.
    void HandleError(const QString& message, TErrorSource source = TErrorSource::General);

    static TIlxApplication* Instance();

private:
    ErrorHandler errorHandler_;
    bool handling_ = false;
    TErrorSource handlingSource_ = TErrorSource::General;
};
