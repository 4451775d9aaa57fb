#include "ShowMessageBox.h"

#include "ProductTexts.h"

#include <QApplication>
#include <QMessageBox>

namespace {

constexpr int kMaxTextLength = 255;

QMessageBox::Icon iconForKind(int kind)
{
    switch (kind) {
    case MkWarning:
        return QMessageBox::Warning;
    case MkError:
        return QMessageBox::Critical;
    case MkInformation:
        return QMessageBox::Information;
    case MkQuestion:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons buttonsFor(int buttons)
{
    switch (buttons) {
    case MbYesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MbYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MbOkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MbRetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MbOk:
    default:
        return QMessageBox::Ok;
    }
}

int resultCode(QMessageBox::StandardButton button, QMessageBox::StandardButtons offered)
{
    switch (button) {
    case QMessageBox::Ok:
        return MrOk;
    case QMessageBox::Cancel:
        return MrCancel;
    case QMessageBox::Retry:
        return MrRetry;
    case QMessageBox::Yes:
        return MrYes;
    case QMessageBox::No:
        return MrNo;
    default:
        // Closed from the title bar or with Esc and no escape button: the
        // platform answers Cancel when there is one, else the only button.
        if (offered & QMessageBox::Cancel)
            return MrCancel;
        if (offered & QMessageBox::No)
            return MrNo;
        return MrOk;
    }
}

} // namespace

int ShowMessageBox(QWidget* owner, const QString& text, int kind, int buttons,
                   QPointer<QMessageBox>* handle)
{
    const QString caption = ApplicationTitle().left(kMaxTextLength);
    const QMessageBox::StandardButtons offered = buttonsFor(buttons);

    // Callers break lines with "\r" as well as "\n"; the box wants "\n".
    QString shown = text.left(kMaxTextLength);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(iconForKind(kind), caption, shown, offered, owner);
    // Messages carry paths and device names: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    if (offered & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (offered == (QMessageBox::Yes | QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);

    // An hourglass must not stay over the box; whatever cursor was set comes back after.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    if (handle)
        *handle = &box;
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();

    return resultCode(pressed, offered);
}
