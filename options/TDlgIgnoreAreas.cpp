#include "TDlgIgnoreAreas.h"

#include "DialogButtons.h"
#include "TIgnoreAreasEditor.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TDlgIgnoreAreas::TDlgIgnoreAreas(const ::IgnoreMask& areas, std::function<QImage()> picture,
                                 QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgIgnoreAreas"));
    setWindowTitle(QStringLiteral("Areas to ignore"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click or drag over the parts of the picture that "
                                                "are never to be compared;\nagain to give them "
                                                "back."),
                                 this));
    Editor = new TIgnoreAreasEditor(this);
    Editor->setMask(areas);
    Editor->setPictureSource(std::move(picture));
    Editor->setMinimumSize(::IgnoreMask::kColumns * 22, ::IgnoreMask::kRows * 22);
    layout->addWidget(Editor, 1);

    auto* row = new QHBoxLayout;
    BitBtnClearAreas = new QPushButton(QStringLiteral("C&lear areas"), this);
    BitBtnClearAreas->setObjectName(QStringLiteral("BitBtnClearAreas"));
    // Enter is OK, never a clearing of what was just painted.
    BitBtnClearAreas->setAutoDefault(false);
    connect(BitBtnClearAreas, &QPushButton::clicked, this, [this] { Editor->setMask({}); });
    row->addWidget(BitBtnClearAreas);
    row->addStretch(1);
    const TDialogButtons buttons = MakeDialogButtons(this);
    BitBtnOK = buttons.OK;
    BitBtnCancel = buttons.Cancel;
    row->addWidget(buttons.Box);
    layout->addLayout(row);
    Editor->setFocusPolicy(Qt::StrongFocus);
    Editor->setFocus();
}

::IgnoreMask TDlgIgnoreAreas::Areas() const
{
    return Editor->mask();
}
