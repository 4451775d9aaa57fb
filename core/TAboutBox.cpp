#include "TAboutBox.h"

#include "ProductTexts.h"
#include "TAboutDlg.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

TAboutBox::TAboutBox(QObject* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("AboutBox"));
}

/*!
 * \brief Shows the About dialog; an empty title becomes "A propos de " and
 *        the application title, and is kept as the new title.
 * \return true when the dialog was closed with OK.
 */
bool TAboutBox::Execute()
{
    TAboutDlg dlg; // owned by the application: no parent window
    dlg.Comments->setText(comments_);
    if (title_.isEmpty())
        title_ = QStringLiteral("A propos de ") + ApplicationTitle();
    dlg.setWindowTitle(title_);
    if (!programIcon_.isNull())
        dlg.ProgramIcon->setPixmap(
            QPixmap::fromImage(programIcon_)
                .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        dlg.ProgramIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    if (beforeShow_)
        beforeShow_(dlg);
    return dlg.exec() == QDialog::Accepted;
}
