#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About dialog: a framed panel with the program's icon and the comments
// text, and an OK button. Built in code; the controls carry their names.
class TAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutDlg(QWidget* parent = nullptr);

    QFrame* PanelFrame;
    QLabel* ProgramIcon;
    QLabel* Comments;
    QPushButton* OKButton;
};
