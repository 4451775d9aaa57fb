#include "TDirectoryEdit.h"

#include <QFileDialog>
#include <QLineEdit>

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TBrowseEdit(QStyle::SP_DirOpenIcon, parent)
{
    Edit()->setReadOnly(true);
    Dialog = [](QWidget* owner, const QString& title, const QString& start) {
        // The toolkit's own dialog offers "Create Folder" and asks for its name.
        return QFileDialog::getExistingDirectory(
            owner, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    };
}

void TDirectoryEdit::Browse()
{
    if (OnBeforeDialog)
        OnBeforeDialog();
    QString folder = Dialog(window(), DialogText, InitialDir);
    if (folder.isEmpty())
        return;
    bool accept = true;
    if (OnAfterDialog)
        OnAfterDialog(folder, accept);
    if (accept)
        SetText(folder);
}
