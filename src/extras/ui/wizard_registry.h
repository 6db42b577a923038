#pragma once

#include "extras/ui/ftp_wizard_window.h"
#include "session/direct_purpose.h"

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>

class ActionEngine;
class FtpSession;
class Prompter;
class QWidget;

// The open file wizards, one per remote file. Finished wizard downloads find
// their window here; one whose window has closed is discarded.
class WizardRegistry : public QObject {
    Q_OBJECT
public:
    WizardRegistry(FtpSession& session, ActionEngine& engine, Prompter& prompter,
                   FtpWizardWindow::Hooks hooks, QWidget* windowParent = nullptr,
                   QObject* parent = nullptr);
    ~WizardRegistry() override;

    // The wizard's text font (the settings' WizardFont); new windows take it.
    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }

    // "View/edit by" > "FTP wizard": an open wizard of the same file stays as
    // it is (brought to the front); otherwise a new one opens and downloads.
    FtpWizardWindow* open(const QByteArray& folder, const QByteArray& name);
    FtpWizardWindow* find(const QByteArray& folder, const QByteArray& name) const;
    int count() const;
    // Closes every wizard (the frame closing).
    void closeAll();
    // Each wizard holding edits not uploaded asks whether it may close; false
    // at the first that may not.
    bool mayCloseAll();

signals:
    void opened(FtpWizardWindow* window);

private:
    void onDirectContent(DirectPurpose purpose, const QByteArray& folder, const QByteArray& name,
                         const QByteArray& content, const QByteArray& modified);

    FtpSession& session_;
    ActionEngine& engine_;
    Prompter& prompter_;
    FtpWizardWindow::Hooks hooks_;
    QPointer<QWidget> windowParent_;
    QFont font_;
    QList<QPointer<FtpWizardWindow>> windows_;
};
