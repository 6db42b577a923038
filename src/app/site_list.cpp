#include "app/site_list.h"

void SiteList::NormaliseSelectedIndex() {
    if (Records.empty())
        SelectedIndex = -1;
    else if (SelectedIndex < 0 || SelectedIndex >= qint64(Records.size()))
        SelectedIndex = 0;
}

SiteRecord* SiteList::FindSite(qint32 id) {
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &Records[index];
}

const SiteRecord* SiteList::FindSite(qint32 id) const {
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &Records[index];
}

int SiteList::IndexOf(qint32 id) const {
    for (size_t i = 0; i < Records.size(); ++i) {
        if (Records[i].Id == id)
            return int(i);
    }
    return -1;
}

qint32 SiteList::FreshId() const {
    for (;;) {
        const qint32 id = NewSiteId();
        if (id != Current.Site.Id && IndexOf(id) < 0)
            return id;
    }
}

void SiteList::SetLocalProjectFolder(const QString& folder) {
    Current.Site.LocalProjectFolder = folder;
    if (SiteRecord* record = FindSite(Current.Site.Id))
        record->LocalProjectFolder = folder;
}

void SiteList::SetRemoteProjectFolder(const QString& folder) {
    Current.Site.RemoteProjectFolder = folder;
    if (SiteRecord* record = FindSite(Current.Site.Id))
        record->RemoteProjectFolder = folder;
}

void SiteList::SetConcernedFile(const QString& path) {
    Current.Site.ConcernedFile = path;
    if (SiteRecord* record = FindSite(Current.Site.Id))
        record->ConcernedFile = path;
}

bool SiteList::ChooseSelectedSite() {
    NormaliseSelectedIndex();
    if (SelectedIndex < 0)
        return false;
    Current.Site = Records[SelectedIndex];
    Current.SessionFlag = 0;
    return true;
}

void SiteList::ResetCurrentSiteOnClose() {
    const SiteRecord defaults;
    SiteRecord& site = Current.Site;
    site.Port = defaults.Port;
    site.LogonType = defaults.LogonType;
    site.TransferType = defaults.TransferType;
    site.TransferMode = defaults.TransferMode;
    site.NameEncoding = defaults.NameEncoding;
    site.SiteFlags = defaults.SiteFlags;
    site.AbundantString1 = defaults.AbundantString1;
    site.AbundantString2 = defaults.AbundantString2;
    Current.SessionFlag = 0;
}
