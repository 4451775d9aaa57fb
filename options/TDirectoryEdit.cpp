#include "TDirectoryEdit.h"

#include "ShowMessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

// The toolkit's folder dialog, which also takes the name of a folder that does
// not exist yet: it asks, then creates it with any missing parents.
class TFolderDialog final : public QFileDialog
{
public:
    TFolderDialog(QWidget* owner, const QString& title, const QString& start)
        : QFileDialog(owner, title, start)
    {
        setFileMode(QFileDialog::Directory);
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    }

protected:
    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const QString folder = chosen.isEmpty() ? QString() : chosen.first();
        if (!folder.isEmpty() && !QFileInfo::exists(folder)) {
            const QString shown = QDir::toNativeSeparators(folder);
            if (ShowMessageBox(this, QStringLiteral("Create the folder\n%1 ?").arg(shown),
                               MkQuestion, MbYesNo) != MrYes)
                return;
            if (!QDir().mkpath(folder)) {
                ShowMessageBox(this, QStringLiteral("Unable to create the folder\n%1").arg(shown),
                               MkWarning, MbOk);
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : TBrowseEdit(QStyle::SP_DirOpenIcon, parent)
{
    Edit()->setReadOnly(true);
    Dialog = [](QWidget* owner, const QString& title, const QString& start) {
        TFolderDialog dialog(owner, title, start);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
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
