#include "TDlgVideoFormat.h"

#include "DialogButtons.h"
#include "ShowMessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TDlgVideoFormat::TDlgVideoFormat(const QList<QSize>& sizes, QSize current, std::uint16_t bitCount,
                                 QWidget* parent)
    : QDialog(parent), sizes_(sizes)
{
    setObjectName(QStringLiteral("TDlgVideoFormat"));
    setWindowTitle(QStringLiteral("Video format"));

    ListBoxSizes = new QListWidget(this);
    ListBoxSizes->setObjectName(QStringLiteral("ListBoxSizes"));
    for (const QSize& s : sizes_)
        ListBoxSizes->addItem(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()));
    ListBoxSizes->setCurrentRow(int(sizes_.indexOf(current)));

    ComboBoxBitCount = new QComboBox(this);
    ComboBoxBitCount->setObjectName(QStringLiteral("ComboBoxBitCount"));
    ComboBoxBitCount->addItem(QStringLiteral("24 bits (RGB)"), 24);
    ComboBoxBitCount->addItem(QStringLiteral("32 bits (RGB)"), 32);
    ComboBoxBitCount->setCurrentIndex(bitCount == 32 ? 1 : 0);

    const TDialogButtons buttons = MakeDialogButtons(this);
    BitBtnOK = buttons.OK;
    BitBtnCancel = buttons.Cancel;
    connect(ListBoxSizes, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    // OK needs a size.
    const auto enableOk = [this] {
        BitBtnOK->setEnabled(ListBoxSizes->currentRow() >= 0);
    };
    connect(ListBoxSizes, &QListWidget::currentRowChanged, this, enableOk);
    enableOk();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frame size:"), ListBoxSizes);
    form->addRow(QStringLiteral("Bit depth:"), ComboBoxBitCount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons.Box);
}

QSize TDlgVideoFormat::chosenSize() const
{
    return sizes_.value(ListBoxSizes->currentRow());
}

std::uint16_t TDlgVideoFormat::chosenBitCount() const
{
    return std::uint16_t(ComboBoxBitCount->currentData().toInt());
}

void TDlgVideoFormat::reportRefused()
{
    const QSize s = chosenSize();
    ShowMessageBox(parentWidget(),
                   QStringLiteral("The camera refused the format %1 x %2, %3 bits.")
                       .arg(s.width())
                       .arg(s.height())
                       .arg(chosenBitCount()),
                   MkWarning, MbOk);
}
