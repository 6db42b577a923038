#include "extras/ui/wizard_registry.h"

#include "session/ftp_session.h"

WizardRegistry::WizardRegistry(FtpSession& session, ActionEngine& engine, Prompter& prompter,
                               FtpWizardWindow::Hooks hooks, QWidget* windowParent, QObject* parent)
    : QObject(parent),
      session_(session),
      engine_(engine),
      prompter_(prompter),
      hooks_(std::move(hooks)),
      windowParent_(windowParent) {
    // A changed font also serves the wizards opened later.
    auto store = hooks_.storeFont;
    hooks_.storeFont = [this, store](const QFont& f) {
        font_ = f;
        if (store)
            store(f);
    };
    connect(&session_, &FtpSession::directContentArrived, this, &WizardRegistry::onDirectContent);
}

WizardRegistry::~WizardRegistry() {
    closeAll();
}

FtpWizardWindow* WizardRegistry::find(const QByteArray& folder, const QByteArray& name) const {
    for (const auto& w : windows_)
        if (w && w->folder() == folder && w->name() == name)
            return w;
    return nullptr;
}

int WizardRegistry::count() const {
    int n = 0;
    for (const auto& w : windows_)
        n += w ? 1 : 0;
    return n;
}

FtpWizardWindow* WizardRegistry::open(const QByteArray& folder, const QByteArray& name) {
    if (FtpWizardWindow* w = find(folder, name)) {
        w->raise();
        w->activateWindow();
        return w;
    }
    windows_.removeAll(nullptr);
    auto* w = new FtpWizardWindow(session_, engine_, folder, name, font_, prompter_, hooks_,
                                  windowParent_);
    windows_ << w;
    w->show();
    w->raise();
    w->activateWindow();
    w->download();
    emit opened(w);
    return w;
}

bool WizardRegistry::mayCloseAll() {
    for (const auto& w : windows_)
        if (w && !w->mayClose())
            return false;
    return true;
}

void WizardRegistry::closeAll() {
    for (const auto& w : windows_)
        if (w)
            w->closeQuietly();
    windows_.clear();
}

void WizardRegistry::onDirectContent(DirectPurpose purpose, const QByteArray& folder,
                                     const QByteArray& name, const QByteArray& content,
                                     const QByteArray& modified) {
    if (purpose != DirectPurpose::Viewer)
        return;
    if (FtpWizardWindow* w = find(folder, name))
        w->showContent(content, modified);
}
