#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>

class TAboutDlg;

// The About box: a non-visual component owned by the main window that shows
// a TAboutDlg on demand with its title, comments and icon.
class TAboutBox : public QObject
{
    Q_OBJECT

public:
    explicit TAboutBox(QObject* owner = nullptr);

    QString Author() const { return {}; }
    void SetAuthor(const QString&) {} // kept for the published interface; stores nothing

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    const QString& Comments() const { return comments_; }
    void SetComments(const QString& comments) { comments_ = comments; }
    const QImage& ProgramIcon() const { return programIcon_; }
    void SetProgramIcon(const QImage& icon) { programIcon_ = icon; }

    // Shows the dialog modally; true when it was closed with OK.
    bool Execute();

    // Test hook: called with the dialog once it is set up, before it is shown.
    void SetBeforeShow(std::function<void(TAboutDlg&)> hook) { beforeShow_ = std::move(hook); }

private:
    QString title_;
    QString comments_;
    QImage programIcon_;
    std::function<void(TAboutDlg&)> beforeShow_;
};
