#include "TDlgSelectDriver.h"

#include "TVideoCamTexts.h"

#include <QFrame>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

TDlgSelectDriver::TDlgSelectDriver(QWidget* owner, bool english)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      Bevel1(new QFrame(this)), ListBoxDrivers(new QListWidget(this)),
      BitBtnOK(new QPushButton(QStringLiteral("OK"), this)),
      BitBtnCancel(new QPushButton(VideoCamText(TVideoCamText::SelectDriverCancel, english), this))
{
    setObjectName(QStringLiteral("DlgSelectDriver"));
    setWindowTitle(VideoCamText(TVideoCamText::SelectDriverCaption, english));
    setFixedSize(384, 179);

    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 281, 163);

    ListBoxDrivers->setObjectName(QStringLiteral("ListBoxDrivers"));
    ListBoxDrivers->setGeometry(16, 16, 265, 147);
    ListBoxDrivers->setSelectionMode(QAbstractItemView::SingleSelection);

    BitBtnOK->setObjectName(QStringLiteral("BitBtnOK"));
    BitBtnOK->setGeometry(300, 8, 75, 25);
    BitBtnOK->setEnabled(false);
    BitBtnOK->setDefault(true);

    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    BitBtnCancel->setGeometry(300, 44, 75, 25);

    connect(ListBoxDrivers, &QListWidget::itemSelectionChanged, this,
            &TDlgSelectDriver::ListBoxDriversClick);
    // A double click is the quick way to choose, as in any list dialog.
    connect(ListBoxDrivers, &QListWidget::itemDoubleClicked, this, [this] {
        if (BitBtnOK->isEnabled())
            accept();
    });
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    ListBoxDrivers->setFocus();
}

void TDlgSelectDriver::SetDrivers(const QStringList& names, int position)
{
    ListBoxDrivers->clear();
    ListBoxDrivers->addItems(names);
    BitBtnOK->setEnabled(false);
    if (position >= 0 && position < ListBoxDrivers->count())
        ListBoxDrivers->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
    else
        ListBoxDrivers->setCurrentRow(-1, QItemSelectionModel::Clear);
    BitBtnOK->setEnabled(SelectedPosition() >= 0);
}

int TDlgSelectDriver::SelectedPosition() const
{
    const QList<QListWidgetItem*> items = ListBoxDrivers->selectedItems();
    return items.isEmpty() ? -1 : ListBoxDrivers->row(items.first());
}

QString TDlgSelectDriver::SelectedName() const
{
    const QList<QListWidgetItem*> items = ListBoxDrivers->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void TDlgSelectDriver::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TDlgSelectDriver::FormShow()
{
    // Centred on the screen rather than on the owner: it is shown at start
    // before the main window has its place.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TDlgSelectDriver::ListBoxDriversClick()
{
    BitBtnOK->setEnabled(SelectedPosition() >= 0);
}
