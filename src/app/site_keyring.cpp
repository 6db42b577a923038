#include "app/site_keyring.h"

QString SiteKeyringKey(const SiteRecord& site) {
    return site.Name + QLatin1Char('@') + site.Host;
}

KeyringChanges KeyringChangesBetween(const SiteList& before, const SiteList& after) {
    KeyringChanges changes;
    QStringList stillUsed;
    for (const SiteRecord& r : after.Records) {
        if (r.PasswordInKeyring)
            stillUsed << SiteKeyringKey(r);
    }
    for (const SiteRecord& was : before.Records) {
        if (!was.PasswordInKeyring)
            continue;
        const QString key = SiteKeyringKey(was);
        const SiteRecord* now = after.FindSite(was.Id);
        if (now && now->PasswordInKeyring && SiteKeyringKey(*now) != key) {
            changes.moves.push_back({key, SiteKeyringKey(*now), !stillUsed.contains(key)});
        } else if (!now && !stillUsed.contains(key) && !changes.removals.contains(key)) {
            changes.removals << key;
        }
    }
    return changes;
}

bool KeyringWanted(const SiteList& list, bool storeMissing) {
    if (list.KeyringOption == SiteList::kKeyringOff)
        return false;
    return list.KeyringOption == SiteList::kKeyringOn || !storeMissing;
}

QString KeyringReadProblem(const QString& key, const SecretStore::Result& result) {
    switch (result.outcome) {
        case SecretStore::Outcome::Done:
            return {};
        case SecretStore::Outcome::NotFound:
            // Also what a keyring whose unlock was cancelled answers.
            return QStringLiteral(
                       "The desktop keyring holds no password for %1, or was not unlocked.")
                .arg(key);
        case SecretStore::Outcome::Refused:
            return QStringLiteral(
                       "The desktop keyring was not opened, so %1 has no stored "
                       "password.")
                .arg(key);
        case SecretStore::Outcome::Unavailable:
            return QStringLiteral(
                       "No desktop keyring answers, so the password of %1 cannot be "
                       "read.")
                .arg(key);
        case SecretStore::Outcome::Failed:
            break;
    }
    return QStringLiteral("The password of %1 could not be read from the desktop keyring: %2")
        .arg(key, result.message);
}
