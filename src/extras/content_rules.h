#pragma once

#include "extras/file_text.h"

#include <QByteArray>
#include <QString>

// What a fetched remote file is, for the concerned-file page and the file
// wizard: both decide by zero size, a zero byte and blank-like bytes.
enum class ContentKind { ZeroSize, Binary, BlankLike, Text };

// Tab, line feed, carriage return, 28 to 32 and 255.
bool IsBlankLikeByte(unsigned char c);
bool IsAllBlankLike(const QByteArray& bytes);
ContentKind ClassifyContent(const QByteArray& bytes);

// The concerned-file page's view of a fetched file: red remarks before and
// after the text, and the text itself (the bytes up to the first zero byte).
struct ConcernedFileContent {
    QString remarkBefore;
    FileText text;
    QString remarkAfter;
    bool binary = false;  // the text is only the part before a zero byte
};
ConcernedFileContent ConcernedFileContentOf(const QByteArray& bytes);

// The remark the page shows before any file is set.
QString ConcernedFileStartRemark();

// The file wizard's texts.
namespace WizardTexts {
QString downloadingStarts();             // "Downloading starts, please wait ..."
QString downloadRefusedBusy();           // "Can not download now, since server is busy."
QString completed(const QString& what);  // "Downloading completed: " + what
QString zeroLength();                    // "length of the file is zero"
QString unknownFormat();                 // "unknown file format."
QString notFound();                      // the folder's listing holds no file of that name
QString unprintable(qint64 size);
QString textProperties(qint64 size);
QString imageProperties(qint64 size, int width, int height);
QString noViewProperties(qint64 size);  // size -1: not downloaded yet
QString help();
QString title(const QByteArray& folder, const QByteArray& name);
}  // namespace WizardTexts

inline constexpr char kServerBusyUpload[] = "Server is busy, can not upload now.";
// Asked before edits that were not uploaded are replaced by another fetch.
inline constexpr char kDropEditsQuestion[] =
    "The concerned file has changes that were not uploaded.\n"
    "Do you want to throw them away?";
inline constexpr char kDropWizardEditsQuestion[] =
    "The text has changes that were not uploaded.\n"
    "Do you want to throw them away?";
