#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Where a help topic ("option.htm#General_options") lives: the first help
// folder, in the order given, that holds its page.
struct HelpLocation {
    QString page;      // "option.htm"
    QString fragment;  // "General_options", empty without one
    QString file;      // absolute path of the page; empty when missing
    QStringList searched;

    bool found() const { return !file.isEmpty(); }
    QUrl url() const;
};

HelpLocation locateHelpTopic(const QStringList& folders, const QString& topic);

// What the help window says for a page none of the folders holds.
QString missingHelpPageText(const HelpLocation& location);

// The topic a link inside a help page leads to, relative to the help folder
// that holds the page; empty when the link leaves the help folders (another
// scheme, or a path outside them).
QString helpTopicForLink(const QStringList& folders, const QUrl& currentPage, const QUrl& link);
