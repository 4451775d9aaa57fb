#include "THelpWindow.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("i-Lumerix Help"));
    resize(520, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(false);
    layout->addWidget(browser_);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    contents->setObjectName(QStringLiteral("HelpContents"));
    layout->addWidget(contents, 0, Qt::AlignLeft);
    connect(contents, &QPushButton::clicked, this, &THelpWindow::ShowContents);
    connect(browser_, &QTextBrowser::anchorClicked, this, &THelpWindow::OpenLink);
}

void THelpWindow::SetHelpFile(const QString& path)
{
    file_.Load(path);
}

void THelpWindow::ShowContents()
{
    current_ = 0;
    browser_->setHtml(file_.ContentsHtml());
    setWindowTitle(QStringLiteral("i-Lumerix Help"));
    Present();
}

void THelpWindow::ShowTopic(int number)
{
    current_ = number;
    browser_->setHtml(file_.TopicHtml(number));
    setWindowTitle(QStringLiteral("i-Lumerix Help - ") + file_.TopicTitle(number));
    Present();
}

QString THelpWindow::CurrentHtml() const
{
    return browser_->toHtml();
}

void THelpWindow::ShowPopup(int number, const QPoint& globalPos)
{
    lastPopup_ = file_.PopupHtml(number);
    lastPopupPos_ = globalPos;
    QWhatsThis::showText(globalPos, lastPopup_);
}

void THelpWindow::OpenLink(const QUrl& url)
{
    bool ok = false;
    const int number = url.fragment().toInt(&ok);
    if (ok)
        ShowTopic(number);
}

void THelpWindow::Present()
{
    show();
    raise();
    activateWindow();
}
