#include "TBrowseEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

TBrowseEdit::TBrowseEdit(QStyle::StandardPixmap buttonIcon, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    button_->setIcon(style()->standardIcon(buttonIcon));
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, [this] { Browse(); });
    connect(edit_, &QLineEdit::textChanged, this, &TBrowseEdit::Changed);
}

QString TBrowseEdit::Text() const
{
    return edit_->text();
}

void TBrowseEdit::SetText(const QString& text)
{
    edit_->setText(text);
}
