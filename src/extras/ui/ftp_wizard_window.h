#pragma once

#include "extras/extras_command_ids.h"
#include "extras/file_text.h"
#include "extras/ui/edited_text.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

class ActionEngine;
struct DecodedImage;
class FtpSession;
class ImageCanvas;
class Prompter;
class QAction;
class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QStackedWidget;

// "FTP wizard": one remote file fetched into memory and shown as text
// (editable, uploadable) or as a picture. Modeless; Escape closes it, asking
// first while the text holds edits not uploaded; closing drops its download
// still waiting in the queue.
class FtpWizardWindow : public QWidget {
    Q_OBJECT
public:
    using enum WizardCommand::Id;
    enum class View { None, Text, Image };

    struct Hooks {
        std::function<void(const QFont& font)> storeFont;
        std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    };

    FtpWizardWindow(FtpSession& session, ActionEngine& engine, QByteArray folder, QByteArray name,
                    const QFont& font, Prompter& prompter, Hooks hooks, QWidget* parent = nullptr);
    ~FtpWizardWindow() override;

    const QByteArray& folder() const { return folder_; }
    const QByteArray& name() const { return name_; }
    qint64 size() const { return size_; }
    View view() const { return view_; }
    QString status() const;
    QPlainTextEdit* textView() const { return text_; }
    ImageCanvas* imageView() const { return canvas_; }
    QAction* action(int id) const;

    // "Re-download" and the first download.
    void download();
    // The fetched file and its time as listed.
    void showContent(const QByteArray& bytes, const QByteArray& modified = QByteArray());
    // Closes without asking (the program is ending).
    void closeQuietly();
    // The text holds edits that were not uploaded.
    bool hasEditsNotUploaded() const;
    // Edits not uploaded: asks whether the window may close all the same.
    bool mayClose();

public slots:
    void upload();
    void properties();
    void help();
    void changeFont();
    void setFit(bool fit);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void closeView();
    void decodePicture(const QByteArray& bytes);
    void showPicture(const DecodedImage& decoded);
    void onTaskMarker(int fakeKind, int value, const QString& caption, quintptr owner);
    void setStatus(const QString& text);
    void updateActions();

    FtpSession& session_;
    ActionEngine& engine_;
    QByteArray folder_;
    QByteArray name_;
    Prompter& prompter_;
    Hooks hooks_;
    qint64 size_ = -1;
    bool waiting_ = false;  // a fetch of this window is in the queue
    View view_ = View::None;
    quint64 decodeTicket_ = 0;  // bumped whenever the view is dropped
    QStackedWidget* stack_;
    QLabel* status_;
    QPlainTextEdit* text_;
    QScrollArea* scroll_;
    ImageCanvas* canvas_;
    QList<QAction*> actions_;
    bool quiet_ = false;
    EditedText edited_{nullptr};
};
