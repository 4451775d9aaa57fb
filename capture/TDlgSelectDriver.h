#pragma once

#include <QDialog>
#include <QStringList>

class QFrame;
class QListWidget;
class QPushButton;

// The modal list of present capture drivers, in driver-index order. OK is
// enabled exactly while an item is selected; the owner reads the choice.
class TDlgSelectDriver : public QDialog
{
    Q_OBJECT

public:
    TDlgSelectDriver(QWidget* owner, bool english);

    // Fills the list and selects the item at position (none for -1 or past the end).
    void SetDrivers(const QStringList& names, int position);
    // The selected item's position, or -1.
    int SelectedPosition() const;
    QString SelectedName() const;

    QFrame* Bevel1;
    QListWidget* ListBoxDrivers;
    QPushButton* BitBtnOK;
    QPushButton* BitBtnCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ListBoxDriversClick();
};
