#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "app/site_list.h"
#include "platform/secret_store.h"

// Site passwords in the desktop's secret store: the key of a site's entry, and how entries
// follow renamed and removed sites.

// "NAME@host": the entry of a site kept under the service "Velmora".
QString SiteKeyringKey(const SiteRecord& site);

struct KeyringMove {
    QString from;
    QString to;
    bool removeOld = true;  // false while another site still uses `from`
};

// What the entries of sites kept in the keyring need after `before` became `after` (records
// matched by Id): a site renamed or given another host moves its entry; a removed one takes
// its entry along, unless another site still kept in the keyring uses the same key.
struct KeyringChanges {
    std::vector<KeyringMove> moves;
    QStringList removals;
    bool isEmpty() const { return moves.empty() && removals.isEmpty(); }
};
KeyringChanges KeyringChangesBetween(const SiteList& before, const SiteList& after);

// Why a site's password could not be read from the keyring, in a sentence.
QString KeyringReadProblem(const QString& key, const SecretStore::Result& result);

// Whether passwords go to the keyring: the option, and whether a secret store answered
// (`storeMissing`: one was asked and none answered).
bool KeyringWanted(const SiteList& list, bool storeMissing);
