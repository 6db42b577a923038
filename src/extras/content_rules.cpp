#include "extras/content_rules.h"

#include "platform/format.h"
#include "remote/remote_path.h"

bool IsBlankLikeByte(unsigned char c) {
    return c == 9 || c == 10 || c == 13 || (c >= 28 && c <= 32) || c == 255;
}

bool IsAllBlankLike(const QByteArray& bytes) {
    for (char c : bytes)
        if (!IsBlankLikeByte(static_cast<unsigned char>(c)))
            return false;
    return true;
}

ContentKind ClassifyContent(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return ContentKind::ZeroSize;
    if (bytes.contains('\0'))
        return ContentKind::Binary;
    if (IsAllBlankLike(bytes))
        return ContentKind::BlankLike;
    return ContentKind::Text;
}

ConcernedFileContent ConcernedFileContentOf(const QByteArray& bytes) {
    ConcernedFileContent out;
    const qsizetype zero = bytes.indexOf('\0');
    if (bytes.isEmpty()) {
        out.remarkBefore = QStringLiteral("The file size is zero");
    } else if (zero >= 0) {
        out.remarkBefore = QStringLiteral("The file size is NOT a text file");
        out.binary = true;
    }
    const QByteArray textBytes = zero >= 0 ? bytes.left(zero) : bytes;
    out.text = FileText::decode(textBytes);
    if (textBytes.isEmpty())
        out.remarkAfter = QStringLiteral("\n(The file size is zero byte)\n");
    else if (IsAllBlankLike(textBytes))
        out.remarkAfter = QStringLiteral("\n(The file content is empty,\nfile size is ") +
                          FormatGrouped(quint64(bytes.size())) + QStringLiteral(" bytes)\n");
    return out;
}

QString ConcernedFileStartRemark() {
    return QStringLiteral(
        "Remark:\n"
        "-------------------------------------------------\n"
        "  Right click a text file on remote List control, then set it as concerned file.\n"
        "  A typical concerned file is php error_log file.\n"
        "  Of course, you can set any text file here to view it easily.\n");
}

namespace WizardTexts {

QString downloadingStarts() {
    return QStringLiteral("Downloading starts, please wait ...");
}
QString downloadRefusedBusy() {
    return QStringLiteral("Can not download now, since server is busy.");
}
QString completed(const QString& what) {
    return QStringLiteral("Downloading completed: ") + what;
}
QString zeroLength() {
    return QStringLiteral("length of the file is zero");
}
QString unknownFormat() {
    return QStringLiteral("unknown file format.");
}
QString notFound() {
    return QStringLiteral("The file was not found on the server.");
}

QString unprintable(qint64 size) {
    return QStringLiteral("this is a text file of %1 bytes, but all characters are un-printable.")
        .arg(size);
}

QString textProperties(qint64 size) {
    return QStringLiteral("Text file\nsize\t") + FormatGrouped(quint64(qMax<qint64>(size, 0))) +
           QStringLiteral(" bytes\n");
}

QString imageProperties(qint64 size, int width, int height) {
    return QStringLiteral("Image file\nsize\t") + FormatGrouped(quint64(qMax<qint64>(size, 0))) +
           QStringLiteral(" bytes\nwidth\t") + FormatGrouped(quint64(qMax(width, 0))) +
           QStringLiteral(" pixels\nheight\t") + FormatGrouped(quint64(qMax(height, 0))) +
           QStringLiteral(" pixels\n");
}

QString noViewProperties(qint64 size) {
    if (size < 0)
        return QStringLiteral("The file hasn't been downloaded yet.");
    return QStringLiteral("Unknown format, file size is %1 bytes").arg(size);
}

QString help() {
    return QStringLiteral(
        "The wizard downloads selected file by FTP protocal,\n"
        "shows plain text file and images.\n\n"
        "Plain text file can be edited and uploaded back to server.\n\n");
}

QString title(const QByteArray& folder, const QByteArray& name) {
    return QStringLiteral("FTP wizard -- ") + QString::fromUtf8(joinRemotePath(folder, name));
}

}  // namespace WizardTexts
