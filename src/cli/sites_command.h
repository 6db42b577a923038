#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/site_record.h"

class SecretStore;
// `sites list | show NAME | add NAME ... | edit NAME ... | remove NAME`: the site list of
// site.set in the settings folder (`settingDir` empty: the usual search). `args` is what
// follows the word "sites". Exit codes: 0 done, 1 refused or not found, 2 usage error.
// Passwords go to `secrets` when it answers and site.set's option allows (else to the file,
// with a warning); null leaves them in the file without a word.
int runSitesCommand(const QStringList& args, const QString& settingDir, QTextStream& out,
                    QTextStream& err, SecretStore* secrets = nullptr);

// `url NAME REMOTE_PATH`: the web address of a remote file of that site. `args` is what
// follows the word "url".
int runUrlCommand(const QStringList& args, const QString& settingDir, QTextStream& out,
                  QTextStream& err);

// The first site whose Name equals `name` exactly, for `--site NAME`.
bool LoadSiteByName(const QString& settingDir, const QString& name, SiteRecord* out,
                    QString* error);
