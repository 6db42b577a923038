#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

#include "app/current_site.h"
#include "app/site_record.h"

// The stored sites in list order, the row last chosen for connecting, and the copy of the site
// in use. One lives in the application state; tests make their own.
class SiteList {
public:
    std::vector<SiteRecord> Records;
    qint32 SelectedIndex = -1;  // -1 when the list is empty
    // "Keep passwords in the desktop keyring": 0 on when a secret store answers, 1 on, 2 off.
    // Kept after the records of site.set, with the sites' PasswordInKeyring.
    quint8 KeyringOption = kKeyringDefault;
    static constexpr quint8 kKeyringDefault = 0;
    static constexpr quint8 kKeyringOn = 1;
    static constexpr quint8 kKeyringOff = 2;
    CurrentSite Current;

    // Empty list: -1; otherwise a value outside the rows becomes 0.
    void NormaliseSelectedIndex();

    // The record with that Id, or null. Invalidated by any change to Records.
    SiteRecord* FindSite(qint32 id);
    const SiteRecord* FindSite(qint32 id) const;
    int IndexOf(qint32 id) const;  // -1 when absent
    bool IsCurrentSite(const SiteRecord& record) const { return record.Id == Current.Site.Id; }

    // An Id used by no record and not by the current site.
    qint32 FreshId() const;

    // Set the field in the current site and in the list record with the same Id, so the change
    // is saved with the list.
    void SetLocalProjectFolder(const QString& folder);
    void SetRemoteProjectFolder(const QString& folder);
    void SetConcernedFile(const QString& path);

    // Copies the selected record into the current site before connecting. False when the
    // list has no row to choose.
    bool ChooseSelectedSite();

    // After the connection is closed: the connection settings go back to their defaults,
    // the texts (name, host, account, folders) stay.
    void ResetCurrentSiteOnClose();
};
