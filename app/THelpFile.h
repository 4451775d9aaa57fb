#pragma once

#include <QList>
#include <QMap>
#include <QString>

// The help file: numbered topics in simple HTML, one <section id="N"> each,
// its first <h2> the topic's title. Read whole at load; a missing or empty
// file leaves no topics, and every request is then answered politely.
class THelpFile
{
public:
    struct Topic
    {
        QString Title;
        QString Html;
    };

    // Returns false (and keeps no topics) when the file cannot be read.
    bool Load(const QString& path);
    void LoadFromText(const QString& text);

    const QString& Path() const { return path_; }
    bool IsLoaded() const { return !topics_.isEmpty(); }
    bool HasTopic(int number) const { return topics_.contains(number); }
    QList<int> TopicNumbers() const { return topics_.keys(); }

    // The page shown for a topic: its HTML, or a polite note when it is missing.
    QString TopicHtml(int number) const;
    QString TopicTitle(int number) const;
    // Plain text of a topic for the pop-up at the mouse.
    QString PopupHtml(int number) const;
    // The contents and index: every topic by title, linked by number.
    QString ContentsHtml() const;

private:
    QString MissingHtml(int number) const;

    QString path_;
    QMap<int, Topic> topics_;
};

// The help number of a control: the first non-zero number up its parent
// chain (the control first), else the window's fallback.
int ResolveHelpContext(const QList<int>& chainFromControl, int fallback);
