#pragma once

#include <QString>

#include "app/current_site.h"
#include "app/site_list.h"
#include "app/site_record.h"

// The rules of the site dialogs as plain functions: the dialogs show the messages and ask the
// questions; these decide.

// Texts shown by the site dialogs.
namespace SiteMessages {
inline const QString kInputHost = QStringLiteral("Please input host");
// Typed control characters would end an FTP command early and smuggle in another.
inline const QString kHostLineBreak =
    QStringLiteral("The host must not contain line breaks or NUL characters.");
inline const QString kUserLineBreak =
    QStringLiteral("The user name must not contain line breaks or NUL characters.");
inline const QString kPasswordLineBreak =
    QStringLiteral("The password must not contain line breaks or NUL characters.");
inline const QString kBadPort = QStringLiteral("The port is a number from 1 to 65535");
inline const QString kInputUser = QStringLiteral("Please input user name");
inline const QString kInputPassword = QStringLiteral("Please input password");
inline const QString kInputName = QStringLiteral("Input name please");
inline const QString kChangeNameOrComment = QStringLiteral("Please change Name or Comment.");
inline const QString kNameCommentUsed =
    QStringLiteral("Name/Comment has been used,\nplease use other Name/Comment");
inline const QString kChangingCurrentQuestion = QStringLiteral(
    "You are changing setting for current connection,\ndo you still want to continue?");
inline const QString kCannotChangeCurrent = QStringLiteral(
    "You can not change those values for current site,\nplease click button 'Connect' to "
    "establish new connection for the modifications.");
inline const QString kDeleteQuestion = QStringLiteral("Delete the site?");
inline const QString kCannotDeleteCurrent =
    QStringLiteral("Can not delete current site, please close first.");
}  // namespace SiteMessages

// The "Basic FTP" page: the message to show, or empty when the record may be stored. Host,
// user name (unless anonymous, which sends a fixed name) and password holding CR, LF or NUL
// are refused before anything else, since they go on the wire.
QString ValidateBasicFtp(const SiteRecord& record);
// The "Projects" page's typed paths, where they differ from the stored record:
// an existing local folder, server paths from the root, a concerned file that
// names a file. Empty when they may be stored.
QString ValidateProjectFields(const SiteRecord& collected, const SiteRecord& stored);
// "New site" while the pages show edits: with no site selected the typed
// values become the new site's; otherwise they belong to the selected one.
bool PagesHoldEdits(const SiteRecord& collected, const SiteRecord& shown);
int AddSiteFrom(SiteList& list, const SiteRecord& typed, const QString& name,
                const QString& comment);
// CR, LF or NUL anywhere in the text.
bool HasLineBreakOrNul(const QString& text);

// OK of the name dialog. `editedRow` is the row being renamed, or -1 in new mode. Returns the
// message to show (the dialog stays open), or empty when the texts are accepted.
QString CheckSiteName(const SiteList& list, const QString& name, const QString& comment,
                      int editedRow = -1);

enum class SiteSaveOutcome {
    Invalid,             // show `message`, store nothing
    StoreInList,         // store in the list record only
    AskThenStoreInBoth,  // ask `message` (Yes/No); on Yes store in the list and the current site
    Refuse,              // show `message`, store nothing
};

struct SiteSaveDecision {
    SiteSaveOutcome outcome = SiteSaveOutcome::Invalid;
    QString message;
};

// "Save" in the site dialog for `collected`: the selected record (same Id) with the values of
// the pages. The fields that define the connection cannot change while it is the current site.
SiteSaveDecision DecideSiteSave(const SiteRecord& collected, const CurrentSite& current);
// Stores `collected` over the list record with its Id and, when asked, over the current site.
void StoreSite(SiteList& list, const SiteRecord& collected, bool alsoCurrent);

// "Connect" for `row`: validates and stores `collected` without the current-site check and
// makes `row` the selected one. On refusal `message` gets the text to show.
bool ConnectSite(SiteList& list, int row, const SiteRecord& collected, QString* message);

// "New site": a default record with a fresh Id. Returns its row.
int AddSite(SiteList& list, const QString& name, const QString& comment);
// "Save as site...": the site now connected (a quick connection) joins the
// list under that name and comment, as the same site, so project folders set
// from now on are kept with it. Its row, or -1 when it is a stored site
// already.
int SaveCurrentAsSite(SiteList& list, const QString& name, const QString& comment);
// True when the site connected is not one of the list's.
bool CurrentSiteUnsaved(const SiteList& list);
// "Duplicate the site": a copy of `row` with a fresh Id. Returns the new row, -1 if none.
int DuplicateSite(SiteList& list, int row, const QString& name, const QString& comment);
// "Rename".
bool RenameSite(SiteList& list, int row, const QString& name, const QString& comment);

struct SiteDeleteResult {
    bool deleted = false;
    QString message;       // shown when refused
    int selectedRow = -1;  // the row to select afterwards; -1 when the list is empty
    SiteRecord shown;      // what the pages show when the list became empty
};

// "Delete" after the user answered Yes. The current site cannot be deleted.
SiteDeleteResult DeleteSite(SiteList& list, int row);

// Dropping the dragged `row` on `targetRow` (-1: outside every row) moves the site right after
// the target. Returns the new row of the moved site, or -1 when nothing changed (dropped on
// itself, on the row just above it, or outside).
int MoveSiteAfter(SiteList& list, int row, int targetRow);
