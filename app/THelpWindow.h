#pragma once

#include "THelpFile.h"

#include <QWidget>

class QTextBrowser;

// The help viewer: one window showing a topic of the help file, or its
// contents; links between topics are "#number".
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void SetHelpFile(const QString& path);
    const THelpFile& HelpFile() const { return file_; }

    void ShowContents();
    void ShowTopic(int number);
    int CurrentTopic() const { return current_; }
    QString CurrentHtml() const;

    // Pop-up help for a topic at a screen position.
    void ShowPopup(int number, const QPoint& globalPos);
    QString LastPopupHtml() const { return lastPopup_; }
    QPoint LastPopupPos() const { return lastPopupPos_; }

private:
    void OpenLink(const QUrl& url);
    void Present();

    THelpFile file_;
    QTextBrowser* browser_ = nullptr;
    int current_ = -1;
    QString lastPopup_;
    QPoint lastPopupPos_;
};
