#include "TFilenameEdit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

TFilenameEdit::TFilenameEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    button_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    setFocusProxy(edit_);

    Dialog = [](QWidget* owner, const QString& title, const QString& start, const QString& filter) {
        QFileDialog dialog(owner, title, start, filter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    connect(button_, &QToolButton::clicked, this, &TFilenameEdit::Browse);
    connect(edit_, &QLineEdit::textChanged, this, &TFilenameEdit::Changed);
}

QString TFilenameEdit::Text() const
{
    return edit_->text();
}

void TFilenameEdit::SetText(const QString& text)
{
    edit_->setText(text);
}

void TFilenameEdit::Browse()
{
    const QString file = Dialog(window(), DialogTitle, InitialDir, Filter);
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    SetText(file);
    InitialDir = QFileInfo(file).absolutePath();
}
