#include "DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

TDialogButtons MakeDialogButtons(QDialog* dialog, bool okIsDefault)
{
    TDialogButtons b;
    b.Box = new QDialogButtonBox(dialog);
    b.OK = b.Box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    b.OK->setObjectName(QStringLiteral("BitBtnOK"));
    b.OK->setDefault(okIsDefault);
    b.Cancel = b.Box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    b.Cancel->setObjectName(QStringLiteral("BitBtnCancel"));
    QObject::connect(b.Box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(b.Box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return b;
}
