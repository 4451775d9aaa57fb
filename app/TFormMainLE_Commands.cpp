// The main window's About, Web and help commands.
#include "TFormMainLE.h"

#include "ProductTexts.h"

#include <QMessageBox>

void TFormMainLE::MenuItemAboutClick()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About..."), ProductTexts::AboutComments(),
                    QMessageBox::Ok, this);
    box.setIconPixmap(windowIcon().pixmap(32, 32));
    box.exec();
}

void TFormMainLE::MenuItemWebClick() {}
