#include "support/scripted_ftp_script.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString base64(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

}  // namespace

ScriptedFtpScript& ScriptedFtpScript::addFolder(const QByteArray& path, const QByteArray& list,
                                                const QByteArray& mlsd, const QByteArray& nlst) {
    folders.insert(path, Folder{list, mlsd, nlst});
    return *this;
}

ScriptedFtpScript& ScriptedFtpScript::addFile(const QByteArray& path, const QByteArray& content) {
    files.insert(path, File{content, false, -1});
    return *this;
}

ScriptedFtpScript& ScriptedFtpScript::addRefusedFile(const QByteArray& path) {
    files.insert(path, File{QByteArray(), true, -1});
    return *this;
}

ScriptedFtpScript& ScriptedFtpScript::addBrokenFile(const QByteArray& path,
                                                    const QByteArray& content, qint64 failAfter) {
    files.insert(path, File{content, false, failAfter});
    return *this;
}

QByteArray ScriptedFtpScript::toJson() const {
    QJsonObject root;
    root.insert(QStringLiteral("banner"), text(banner));
    root.insert(QStringLiteral("start"), text(startFolder));
    root.insert(QStringLiteral("mlsd"), mlsd);
    root.insert(QStringLiteral("rest"), rest);
    if (!pasvAddress.isEmpty()) {
        root.insert(QStringLiteral("pasv_address"), text(pasvAddress));
    }

    QJsonObject tree;
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        QJsonObject folder;
        folder.insert(QStringLiteral("list_b64"), base64(it->list));
        folder.insert(QStringLiteral("mlsd_b64"), base64(it->mlsd));
        folder.insert(QStringLiteral("nlst_b64"), base64(it->nlst));
        tree.insert(text(it.key()), folder);
    }
    root.insert(QStringLiteral("tree"), tree);

    QJsonObject fileObjects;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QJsonObject file;
        file.insert(QStringLiteral("content_b64"), base64(it->content));
        file.insert(QStringLiteral("refuse"), it->refuse);
        if (it->failAfter >= 0) {
            file.insert(QStringLiteral("fail_after"), it->failAfter);
        }
        if (it->shortAfter >= 0)
            file.insert(QStringLiteral("short_after"), it->shortAfter);
        if (it->announceSize)
            file.insert(QStringLiteral("announce_size"), true);
        if (it->storeLimit >= 0)
            file.insert(QStringLiteral("store_limit"), it->storeLimit);
        if (it->pieceBytes > 0) {
            file.insert(QStringLiteral("piece_bytes"), it->pieceBytes);
            file.insert(QStringLiteral("pause_ms"), it->pauseMs);
        }
        fileObjects.insert(text(it.key()), file);
    }
    root.insert(QStringLiteral("files"), fileObjects);

    QJsonObject loopObjects;
    for (auto it = loops.cbegin(); it != loops.cend(); ++it)
        loopObjects.insert(text(it.key()), text(it.value()));
    root.insert(QStringLiteral("loops"), loopObjects);

    QJsonObject replyObjects;
    for (auto it = replies.cbegin(); it != replies.cend(); ++it) {
        replyObjects.insert(text(it.key()), text(it.value()));
    }
    root.insert(QStringLiteral("replies"), replyObjects);

    QJsonObject rawObjects;
    for (auto it = rawReplies.cbegin(); it != rawReplies.cend(); ++it) {
        rawObjects.insert(text(it.key()) + QStringLiteral("_b64"), base64(it.value()));
    }
    root.insert(QStringLiteral("replies_raw"), rawObjects);

    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
