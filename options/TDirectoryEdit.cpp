#include "TDirectoryEdit.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

TDirectoryEdit::TDirectoryEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    edit_->setReadOnly(true);
    button_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    setFocusProxy(edit_);

    Dialog = [](QWidget* owner, const QString& title, const QString& start) {
        // The toolkit's own dialog offers "Create Folder" and asks for its name.
        return QFileDialog::getExistingDirectory(
            owner, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    };
    connect(button_, &QToolButton::clicked, this, &TDirectoryEdit::Browse);
    connect(edit_, &QLineEdit::textChanged, this, &TDirectoryEdit::Changed);
}

QString TDirectoryEdit::Text() const
{
    return edit_->text();
}

void TDirectoryEdit::SetText(const QString& text)
{
    edit_->setText(text);
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
