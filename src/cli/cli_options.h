#pragma once

#include <QString>
#include <QStringList>

// The options before the command word, the URL and the command with its own
// arguments.
struct CliOptions {
    bool help = false;
    bool log = false;
    bool traces = false;
    int infoLevel = 0;
    QString listCommand = QStringLiteral("auto");
    QString remoteProject;
    bool remoteProjectGiven = false;
    int timeoutSeconds = 60;  // without any sign of life
    int deadlineSeconds = 0;  // for the whole run; 0: none
    QString settingDir;
    QString site;
    bool passwordStdin = false;  // the password is the first line of standard input
    QString tls;                 // off, auto or require; empty: the URL's or the site's
    QStringList trust;           // fingerprints trusted for this run
    QString url;
    QString command;
    QStringList commandArgs;
};

// False with a message on a usage error.
bool parseCliOptions(const QStringList& args, CliOptions* options, QString* error);

QString cliUsage();
