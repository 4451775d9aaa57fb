#include "THelpFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

bool THelpFile::Load(const QString& path)
{
    path_ = path;
    topics_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A help file is small; anything beyond this is not ours.
    constexpr qint64 kMaxHelpBytes = 4 * 1024 * 1024;
    if (file.size() > kMaxHelpBytes)
        return false;
    LoadFromText(QString::fromUtf8(file.readAll()));
    return IsLoaded();
}

void THelpFile::LoadFromText(const QString& text)
{
    topics_.clear();
    static const QRegularExpression section(
        QStringLiteral(R"re(<section\s+id="(-?\d+)"\s*>(.*?)</section>)re"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression heading(QStringLiteral(R"(<h2[^>]*>(.*?)</h2>)"),
                                            QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    for (auto it = section.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        bool ok = false;
        const int number = m.captured(1).toInt(&ok);
        if (!ok)
            continue;
        Topic topic;
        topic.Html = m.captured(2).trimmed();
        const auto h = heading.match(topic.Html);
        topic.Title = h.hasMatch() ? h.captured(1).remove(tags).trimmed()
                                   : QStringLiteral("Topic %1").arg(number);
        topics_.insert(number, topic);
    }
}

QString THelpFile::MissingHtml(int number) const
{
    if (!IsLoaded())
        return QStringLiteral("<p>Sorry, the help file <b>%1</b> could not be read, so no help "
                              "can be shown for this item.</p>")
            .arg(QFileInfo(path_).fileName().toHtmlEscaped());
    return QStringLiteral("<p>Sorry, there is no help for this item (topic %1).</p>").arg(number);
}

QString THelpFile::TopicHtml(int number) const
{
    const auto it = topics_.constFind(number);
    return it == topics_.cend() ? MissingHtml(number) : it->Html;
}

QString THelpFile::TopicTitle(int number) const
{
    const auto it = topics_.constFind(number);
    return it == topics_.cend() ? QStringLiteral("Help") : it->Title;
}

QString THelpFile::PopupHtml(int number) const
{
    return TopicHtml(number);
}

QString THelpFile::ContentsHtml() const
{
    if (!IsLoaded())
        return MissingHtml(0);
    QString html = QStringLiteral("<h2>Contents</h2><ul>");
    for (auto it = topics_.cbegin(); it != topics_.cend(); ++it) {
        if (it.key() == 0)
            continue;
        html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>")
                    .arg(it.key())
                    .arg(it->Title.toHtmlEscaped());
    }
    html += QStringLiteral("</ul>");
    if (topics_.contains(0))
        html = topics_.value(0).Html + html;
    return html;
}

int ResolveHelpContext(const QList<int>& chainFromControl, int fallback)
{
    for (const int n : chainFromControl)
        if (n != 0)
            return n;
    return fallback;
}
