#include "app/site_rules.h"

#include <QDir>
#include <QFileInfo>

#include "app/site_tls.h"

namespace {

bool validRow(const SiteList& list, int row) {
    return row >= 0 && row < int(list.Records.size());
}

// The fields that define a connection in use.
bool sameConnection(const SiteRecord& a, const SiteRecord& b) {
    return a.Host == b.Host && a.Port == b.Port && a.LogonType == b.LogonType && a.User == b.User &&
           a.TransferType == b.TransferType && a.LocalProjectFolder == b.LocalProjectFolder &&
           a.RemoteProjectFolder == b.RemoteProjectFolder && a.ConcernedFile == b.ConcernedFile;
}

// SelectedIndex follows its site when rows move; it is the row chosen for connecting.
int followRemoval(int selected, int removed, int newSelection) {
    if (selected == removed)
        return newSelection;
    return selected > removed ? selected - 1 : selected;
}

}  // namespace

bool HasLineBreakOrNul(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            return true;
    }
    return false;
}

QString ValidateBasicFtp(const SiteRecord& record) {
    if (HasLineBreakOrNul(record.Host))
        return SiteMessages::kHostLineBreak;
    if (record.LogonType != SiteRecord::kLogonAnonymous && HasLineBreakOrNul(record.User))
        return SiteMessages::kUserLineBreak;
    if (HasLineBreakOrNul(record.Password))
        return SiteMessages::kPasswordLineBreak;
    if (record.Host.isEmpty())
        return SiteMessages::kInputHost;
    if (record.Port < 1 || record.Port > 65535)
        return SiteMessages::kBadPort;
    if (record.LogonType != SiteRecord::kLogonAnonymous && record.User.isEmpty())
        return SiteMessages::kInputUser;
    // An anonymous logon sends the usual "anonymous@" when no password is given.
    if (record.LogonType != SiteRecord::kLogonAnonymous && record.Password.isEmpty() &&
        !record.PasswordInKeyring)
        return SiteMessages::kInputPassword;
    return {};
}

QString ValidateProjectFields(const SiteRecord& collected, const SiteRecord& stored) {
    const QString& local = collected.LocalProjectFolder;
    if (local != stored.LocalProjectFolder && !local.isEmpty()) {
        const QFileInfo info(local);
        if (!QDir::isAbsolutePath(local) || !info.isDir())
            return QStringLiteral("The local project folder does not exist:\n") + local;
    }
    const QString& remote = collected.RemoteProjectFolder;
    if (remote != stored.RemoteProjectFolder && !remote.isEmpty() &&
        (!remote.startsWith(QLatin1Char('/')) || HasLineBreakOrNul(remote)))
        return QStringLiteral("The remote project folder is a server path beginning with /");
    const QString& concerned = collected.ConcernedFile;
    if (concerned != stored.ConcernedFile && !concerned.isEmpty() &&
        (!concerned.startsWith(QLatin1Char('/')) || concerned.endsWith(QLatin1Char('/')) ||
         HasLineBreakOrNul(concerned)))
        return QStringLiteral(
            "The concerned file is a server path beginning with / and ending with the file's name");
    return {};
}

bool PagesHoldEdits(const SiteRecord& collected, const SiteRecord& shown) {
    return !(collected == shown);
}

int AddSiteFrom(SiteList& list, const SiteRecord& typed, const QString& name,
                const QString& comment) {
    SiteRecord record = typed;
    record.Id = list.FreshId();
    record.Name = name;
    record.Comment = comment;
    list.Records.push_back(std::move(record));
    return int(list.Records.size()) - 1;
}

QString CheckSiteName(const SiteList& list, const QString& name, const QString& comment,
                      int editedRow) {
    if (name.isEmpty())
        return SiteMessages::kInputName;
    for (int row = 0; row < int(list.Records.size()); ++row) {
        const SiteRecord& record = list.Records[row];
        if (record.Name == name && record.Comment == comment)
            return row == editedRow ? SiteMessages::kChangeNameOrComment
                                    : SiteMessages::kNameCommentUsed;
    }
    return {};
}

SiteSaveDecision DecideSiteSave(const SiteRecord& collected, const CurrentSite& current) {
    const QString invalid = ValidateBasicFtp(collected);
    if (!invalid.isEmpty())
        return {SiteSaveOutcome::Invalid, invalid};
    if (collected.Id != current.Site.Id)
        return {SiteSaveOutcome::StoreInList, {}};
    if (sameConnection(collected, current.Site))
        return {SiteSaveOutcome::AskThenStoreInBoth, SiteMessages::kChangingCurrentQuestion};
    return {SiteSaveOutcome::Refuse, SiteMessages::kCannotChangeCurrent};
}

void StoreSite(SiteList& list, const SiteRecord& collected, bool alsoCurrent) {
    if (SiteRecord* record = list.FindSite(collected.Id))
        *record = collected;
    if (alsoCurrent && collected.Id == list.Current.Site.Id) {
        // The copy in use keeps the password read from the keyring for "Re-connect".
        const QString known = list.Current.Site.Password;
        list.Current.Site = collected;
        if (collected.PasswordInKeyring && collected.Password.isEmpty())
            list.Current.Site.Password = known;
    }
}

bool ConnectSite(SiteList& list, int row, const SiteRecord& collected, QString* message) {
    if (!validRow(list, row))
        return false;
    const QString invalid = ValidateBasicFtp(collected);
    if (!invalid.isEmpty()) {
        if (message)
            *message = invalid;
        return false;
    }
    SiteRecord stored = collected;
    stored.Id = list.Records[row].Id;
    list.Records[row] = stored;
    list.SelectedIndex = row;
    return true;
}

int AddSite(SiteList& list, const QString& name, const QString& comment) {
    SiteRecord record = NewSiteRecord();
    record.Id = list.FreshId();
    record.Name = name;
    record.Comment = comment;
    list.Records.push_back(std::move(record));
    return int(list.Records.size()) - 1;
}

bool CurrentSiteUnsaved(const SiteList& list) {
    return !list.Current.Site.Host.isEmpty() && !list.FindSite(list.Current.Site.Id);
}

int SaveCurrentAsSite(SiteList& list, const QString& name, const QString& comment) {
    if (!CurrentSiteUnsaved(list))
        return -1;
    SiteRecord record = list.Current.Site;
    record.Name = name;
    record.Comment = comment;
    list.Current.Site.Name = name;
    list.Current.Site.Comment = comment;
    list.Records.push_back(std::move(record));
    return int(list.Records.size()) - 1;
}

int DuplicateSite(SiteList& list, int row, const QString& name, const QString& comment) {
    if (!validRow(list, row))
        return -1;
    SiteRecord copy = list.Records[row];
    copy.Id = list.FreshId();
    copy.Name = name;
    copy.Comment = comment;
    list.Records.push_back(std::move(copy));
    return int(list.Records.size()) - 1;
}

bool RenameSite(SiteList& list, int row, const QString& name, const QString& comment) {
    if (!validRow(list, row))
        return false;
    list.Records[row].Name = name;
    list.Records[row].Comment = comment;
    return true;
}

SiteDeleteResult DeleteSite(SiteList& list, int row) {
    SiteDeleteResult result;
    if (!validRow(list, row)) {
        result.selectedRow = list.Records.empty() ? -1 : 0;
        return result;
    }
    if (list.IsCurrentSite(list.Records[row])) {
        result.message = SiteMessages::kCannotDeleteCurrent;
        result.selectedRow = row;
        return result;
    }
    list.Records.erase(list.Records.begin() + row);
    result.deleted = true;
    const int count = int(list.Records.size());
    result.selectedRow = count == 0 ? -1 : qMin(row, count - 1);
    list.SelectedIndex = followRemoval(list.SelectedIndex, row, result.selectedRow);
    list.NormaliseSelectedIndex();
    if (count == 0)
        result.shown = SiteRecord{};
    return result;
}

int MoveSiteAfter(SiteList& list, int row, int targetRow) {
    if (!validRow(list, row) || !validRow(list, targetRow))
        return -1;
    if (targetRow == row || targetRow == row - 1)
        return -1;
    const int destination = targetRow > row ? targetRow : targetRow + 1;
    SiteRecord moved = std::move(list.Records[row]);
    list.Records.erase(list.Records.begin() + row);
    list.Records.insert(list.Records.begin() + destination, std::move(moved));

    int& selected = list.SelectedIndex;
    if (selected == row)
        selected = destination;
    else if (row < selected && selected <= destination)
        --selected;
    else if (destination <= selected && selected < row)
        ++selected;
    return destination;
}
