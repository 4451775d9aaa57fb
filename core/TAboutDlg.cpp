#include "TAboutDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutDlg::TAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setFixedSize(380, 193);

    PanelFrame = new QFrame(this);
    PanelFrame->setObjectName(QStringLiteral("PanelFrame"));
    PanelFrame->setGeometry(10, 5, 360, 152);
    // A lowered outer bevel around a raised inner one.
    PanelFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    PanelFrame->setLineWidth(1);
    PanelFrame->setMidLineWidth(0);

    ProgramIcon = new QLabel(PanelFrame);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(12, 12, 32, 32);
    ProgramIcon->setAlignment(Qt::AlignCenter);

    Comments = new QLabel(PanelFrame);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setGeometry(56, 12, 295, 134);
    Comments->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Comments->setWordWrap(true);
    Comments->setAttribute(Qt::WA_TranslucentBackground);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    Comments->setFont(font);
    QPalette black = Comments->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Comments->setPalette(black);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(151, 162, 75, 25);
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
