#include "TFilenameEdit.h"

#include <QFileDialog>
#include <QFileInfo>

TFilenameEdit::TFilenameEdit(QWidget* parent) : TBrowseEdit(QStyle::SP_DialogOpenButton, parent)
{
    Dialog = [](QWidget* owner, const QString& title, const QString& start, const QString& filter) {
        QFileDialog dialog(owner, title, start, filter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
}

void TFilenameEdit::Browse()
{
    const QString file = Dialog(window(), DialogTitle, InitialDir, Filter);
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    SetText(file);
    InitialDir = QFileInfo(file).absolutePath();
}
