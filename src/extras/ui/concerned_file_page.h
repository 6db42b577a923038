#pragma once

#include "extras/rename_watcher.h"
#include "extras/ui/edited_text.h"
#include "session/direct_purpose.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class ActionEngine;
class FtpSession;
class Prompter;
class QLabel;
class QPlainTextEdit;
class QPushButton;
struct LogLine;

// The "Concerned file" page: one remote text file of the site, fetched into
// memory, shown, edited and sent back. The path lives in the site; the page
// follows it through renames and moves and fetches it again after login.
class ConcernedFilePage : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        // Stores the path in the current site (empty clears it).
        std::function<void(const QString& path)> storeConcernedFile;
        // Keeps the pane's font in the settings.
        std::function<void(const QFont& font)> storeFont;
        // Asks for a font; the font dialog when not set (tests set it).
        std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    };

    ConcernedFilePage(FtpSession& session, ActionEngine& engine, const QFont& font,
                      Prompter& prompter, Hooks hooks, QWidget* parent = nullptr);

    // "Set as concerned file" of the remote list.
    void setConcernedFile(const QByteArray& folder, const QByteArray& name);
    // The site's stored path, once after login.
    void loginPath(const QString& path);
    // The fetched file (the direct download of the concerned file) and its
    // time as listed.
    void showContent(const QByteArray& bytes, const QByteArray& modified = QByteArray());

    QString path() const { return path_; }
    QPlainTextEdit* pane() const { return pane_; }
    QLabel* remarkLabel() const { return remark_; }
    QLabel* nameLabel() const { return name_; }
    QLabel* folderLabel() const { return folder_; }

    // False when the pane holds edits not sent and the user keeps them.
    bool mayDropEdits();

public slots:
    void refresh();
    void remove();
    void upload();
    void chooseFont();

private:
    void setPath(const QString& path);
    void showPath();
    void showStartRemark();
    void onLogLine(const LogLine& line);
    void onTaskMarker(int fakeKind, int value, const QString& caption, quintptr owner);
    void onDirectContent(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                         const QByteArray& content, const QByteArray& modified);
    bool splitPath(QByteArray* folder, QByteArray* name) const;
    void onTransferFinished(const QByteArray& folder, const QByteArray& name, bool success);

    FtpSession& session_;
    ActionEngine& engine_;
    Prompter& prompter_;
    Hooks hooks_;
    QString path_;
    // The server whose login last set the page: user@host:port.
    QString server_;
    RenameWatcher renames_;
    // What was fetched for the path shown: an unedited pane goes back as
    // these very bytes.
    bool loaded_ = false;
    int fetching_ = 0;             // fetches of this page in the queue
    bool contentArrived_ = false;  // since the last one ended
    QLabel* name_;
    QLabel* folder_;
    QLabel* remark_;
    QPlainTextEdit* pane_;
    QPushButton* refresh_;
    QPushButton* remove_;
    QPushButton* upload_;
    QPushButton* font_;
    EditedText edited_{nullptr};
};
