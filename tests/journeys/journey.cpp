#include "journeys/journey.h"

#include "app/ui/main_frame.h"
#include "app/ui/main_view.h"
#include "platform/ui/rgb_colour.h"
#include "remote/remote_item.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "remote/ui/remote_tree_model.h"
#include "session/ui/chat_page.h"
#include "session/ui/chat_pane.h"
#include "support/server_account.h"
#include "support/vsftpd_server.h"
#include "workspace/local_list_rows.h"
#include "workspace/ui/local_explorer.h"
#include "workspace/ui/local_list_model.h"
#include "workspace/ui/local_list_view.h"
#include "workspace/ui/local_tree_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

Journey::Journey() : Journey(Options()) {}

Journey::Journey(const Options& options) : options_(options) {}

Journey::~Journey() {
    if (dialogAnswer_)
        ADD_FAILURE() << "a dialog the journey waited for never opened";
    frame_.reset();
    workbench_.reset();
    server_.reset();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

bool Journey::open() {
    if (options_.server == Server::Vsftpd)
        server_ = std::make_unique<VsftpdServer>();
    else
        server_ = std::make_unique<PyftpdlibServer>(options_.pyftpdlib);
    if (!server_->start()) {
        error_ = server_->lastError();
        return false;
    }
    if (!settings_.isValid() || !local_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    // The window's own profile (list orders, tool bars) lives in the
    // journey's settings folder, as the next window of a restart finds it.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    return openWindow();
}

bool Journey::openWindow() {
    Workbench::Services services;
    services.transports = &transports_;
    services.beeper = &beeper_;
    services.shutdown = &shutdown_;
    services.launcher = &launcher_;
    workbench_ = std::make_unique<Workbench>(settings_.path(), services);
    workbench_->load();
    if (options_.simultaneousTransfers >= 0) {
        workbench_->settings().SimultaneousTransfers = options_.simultaneousTransfers;
        workbench_->transferPool().setConnections(options_.simultaneousTransfers);
    }
    MainFrame::Services frameServices;
    frameServices.prompter = &prompter_;
    frameServices.help = &help_;
    frame_ = std::make_unique<MainFrame>(*workbench_, frameServices);
    frame_->resize(1400, 900);
    frame_->show();
    if (!QTest::qWaitForWindowExposed(frame_.get())) {
        error_ = QStringLiteral("the window was never shown");
        return false;
    }
    // The journey's local folder is where the user starts.
    if (!openLocalFolder(local_.path())) {
        error_ = QStringLiteral("the local list never showed ") + local_.path();
        return false;
    }
    return true;
}

bool Journey::reopen() {
    frame_->close();
    frame_.reset();
    workbench_.reset();
    return openWindow();
}

PyftpdlibServer* Journey::pyftpdlib() const {
    return options_.server == Server::Pyftpdlib ? static_cast<PyftpdlibServer*>(server_.get())
                                                : nullptr;
}

QByteArray Journey::home() const {
    return server_->writableFolder();
}

QByteArray Journey::remote(const QString& rel) const {
    QByteArray h = home();
    if (!h.endsWith('/'))
        h += '/';
    return rel.isEmpty() ? home() : h + rel.toUtf8();
}

QString Journey::serverPath(const QString& rel) const {
    QString path = QString::fromUtf8(remote(rel));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return server_->localPath(path);
}

QString Journey::local(const QString& rel) const {
    return rel.isEmpty() ? local_.path() : QDir(local_.path()).filePath(rel);
}

bool Journey::writeLocal(const QString& rel, const QByteArray& bytes) const {
    const QString path = local(rel);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Journey::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Journey::tree(const QString& folder) {
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = base.relativeFilePath(path);
        if (info.isDir()) {
            lines << rel + QLatin1Char('/');
            continue;
        }
        const QByteArray content = readFile(path);
        lines << QStringLiteral("%1 %2 %3")
                     .arg(rel)
                     .arg(content.size())
                     .arg(QString::fromLatin1(
                         QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex()));
    }
    lines.sort();
    return lines;
}

QByteArray Journey::bytes(int length, int seed) {
    QByteArray b(length, Qt::Uninitialized);
    quint32 x = 2166136261u ^ quint32(seed);
    for (int i = 0; i < length; ++i) {
        x = x * 16777619u + 12345u;
        b[i] = char(x >> 24);
    }
    return b;
}

SiteRecord Journey::site() const {
    for (const SiteRecord& r : workbench_->sites().Records)
        if (r.Name == QLatin1String("Journey"))
            return r;
    return {};
}

bool Journey::logIn(const QString& localProject, const QByteArray& remoteProject) {
    SiteList& sites = workbench_->sites();
    SiteRecord site = SiteFor(*server_, QStringLiteral("Journey"), QStringLiteral("journey"));
    site.LocalProjectFolder = localProject;
    site.RemoteProjectFolder = QString::fromUtf8(remoteProject);
    if (options_.tlsRequired)
        site.SiteFlags |= SiteRecord::kTlsRequired;
    bool replaced = false;
    for (SiteRecord& r : sites.Records) {
        if (r.Name == site.Name) {
            site.Id = r.Id;
            r = site;
            replaced = true;
        }
    }
    if (!replaced) {
        site.Id = sites.FreshId();
        sites.Records.push_back(site);
    }
    if (!workbench_->connectSiteNamed(site.Name))
        return false;
    RemoteExplorer& r = remoteSide();
    return waitFor([&] {
        return workbench_->session().loggedIn() && r.listModel()->hasFolder() &&
               r.treeModel()->isListed(r.treeModel()->indexOf(r.listModel()->folder())) &&
               workbench_->session().queue().isEmpty();
    });
}

bool Journey::waitFor(const std::function<bool()>& done, int ms) {
    return QTest::qWaitFor(done, ms);
}

bool Journey::waitIdle(int ms) {
    // Transfers may still run on the connections beside the main one.
    return waitFor([this] { return !workbench_->busy(); }, ms);
}

// --- what the user sees -------------------------------------------------------

RemoteExplorer& Journey::remoteSide() const {
    return *frame_->remoteExplorer();
}

QStringList Journey::remoteNames() const {
    QStringList names;
    const RemoteListModel* m = remoteSide().listModel();
    for (int row = 0; row < m->rowCount(); ++row)
        if (!m->isParentRow(row))
            names << QString::fromUtf8(m->itemAt(row).name);
    return names;
}

QByteArray Journey::remoteFolder() const {
    return remoteSide().listModel()->folder();
}

QStringList Journey::localNames() const {
    QStringList names;
    const LocalListModel* m = frame_->localExplorer()->list()->listModel();
    for (int row = 0; row < m->rowCount(); ++row) {
        const LocalListRow* r = m->rowAt(row);
        if (r && (r->kind == LocalRowKind::Folder || r->kind == LocalRowKind::File))
            names << r->name;
    }
    return names;
}

QString Journey::localFolder() const {
    return frame_->localExplorer()->list()->currentFolder();
}

namespace {
QString SizeColumnText(const QAbstractItemModel* m, int row) {
    for (int c = 0; c < m->columnCount(); ++c) {
        if (m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == QLatin1String("Size"))
            return m->index(row, c).data(Qt::DisplayRole).toString();
    }
    return {};
}
}  // namespace

QString Journey::remoteSizeText(const QString& name) const {
    const QModelIndex row = remoteRow(name);
    return row.isValid() ? SizeColumnText(row.model(), row.row()) : QString();
}

QString Journey::localSizeText(const QString& name) const {
    const QModelIndex row = localRow(name);
    return row.isValid() ? SizeColumnText(row.model(), row.row()) : QString();
}

QString Journey::taskLine() const {
    return workbench_->taskStatus().displayText();
}

QColor Journey::taskLineColor() const {
    const Rgb c = workbench_->taskStatus().displayColor();
    return ToQColor(c);
}

QString Journey::chatText() const {
    ChatPane* pane = frame_->chatPage()->chatPane();
    pane->flushPending();
    return pane->toPlainText();
}

// --- the user's hands ---------------------------------------------------------

bool Journey::openLocalFolder(const QString& path) {
    LocalExplorer* e = frame_->localExplorer();
    e->tree()->selectFolder(path);
    const QString want = QDir::cleanPath(path);
    return waitFor([&] {
        return QDir::cleanPath(e->list()->currentFolder()) == want &&
               !e->list()->listModel()->isLoading();
    });
}

bool Journey::openRemoteFolder(const QByteArray& path) {
    RemoteExplorer& r = remoteSide();
    const QModelIndex node = r.treeModel()->indexOf(path);
    if (!node.isValid())
        return false;
    r.treeView()->setCurrentIndex(node);
    return waitFor([&] {
        const QModelIndex n = r.treeModel()->indexOf(path);
        return r.listModel()->folder() == path && n.isValid() && r.treeModel()->isListed(n) &&
               workbench_->session().queue().isEmpty();
    });
}

QModelIndex Journey::remoteRow(const QString& name) const {
    const RemoteListModel* m = remoteSide().listModel();
    const int row = m->rowOf(name.toUtf8());
    return row < 0 ? QModelIndex() : m->index(row, 0);
}

QModelIndex Journey::localRow(const QString& name) const {
    const LocalListModel* m = frame_->localExplorer()->list()->listModel();
    const int row = m->rowOfName(name);
    return row < 0 ? QModelIndex() : m->index(row, 0);
}

namespace {
void SelectRows(QAbstractItemView* view, const QModelIndexList& rows) {
    QItemSelectionModel* s = view->selectionModel();
    s->clearSelection();
    bool first = true;
    for (const QModelIndex& row : rows) {
        if (!row.isValid())
            continue;
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        if (first)
            s->setCurrentIndex(row, flags);
        else
            s->select(row, flags);
        first = false;
    }
}
}  // namespace

void Journey::selectRemote(const QStringList& names) {
    QModelIndexList rows;
    for (const QString& n : names)
        rows << remoteRow(n);
    SelectRows(remoteSide().listView(), rows);
}

void Journey::selectLocal(const QStringList& names) {
    QModelIndexList rows;
    for (const QString& n : names)
        rows << localRow(n);
    SelectRows(frame_->localExplorer()->list(), rows);
}

void Journey::drop(QAbstractItemView* view, const QModelIndex& target, const QMimeData& data) {
    QWidget* port = view->viewport();
    QPoint pos(port->width() / 2, port->height() - 4);
    if (target.isValid()) {
        view->scrollTo(target);
        pos = view->visualRect(target).center();
    }
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &enter);
    QDragMoveEvent move(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    ASSERT_TRUE(move.isAccepted()) << "the view refused the drag";
    QDropEvent dropped(QPointF(pos), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &dropped);
}

void Journey::dropFiles(QAbstractItemView* view, const QModelIndex& target,
                        const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    drop(view, target, data);
}

std::unique_ptr<QMimeData> Journey::dragOut(QAbstractItemView* view, const QModelIndexList& rows) {
    return std::unique_ptr<QMimeData>(view->model()->mimeData(rows));
}

bool Journey::choose(QMenu* menu, int id) {
    if (!menu)
        return false;
    for (QAction* a : menu->actions()) {
        if (a->menu() && choose(a->menu(), id))
            return true;
        if (!a->isSeparator() && a->data().toInt() == id) {
            if (!a->isEnabled())
                return false;
            a->trigger();
            return true;
        }
    }
    return false;
}

void Journey::rightClick(QAbstractItemView* view, const QModelIndex& row) {
    QWidget* port = view->viewport();
    const QPoint pos = row.isValid() ? view->visualRect(row).center()
                                     : QPoint(port->width() / 2, port->height() - 4);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, port->mapToGlobal(pos));
    QApplication::sendEvent(port, &event);
}

void Journey::whenMenuOpens(int id) {
    // Polled from the event loop: the menu runs its own loop once open.
    // Owned by the window: it goes with the journey.
    auto* timer = new QTimer(frame_.get());
    timer->setInterval(10);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, elapsed] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && menu->isVisible()) {
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions())
                if (a->data().toInt() == id && a->isEnabled())
                    chosen = a;
            if (chosen) {
                ++menusAnswered_;
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
            } else {
                ADD_FAILURE() << "the menu has no enabled entry " << id;
                menu->close();
            }
        } else if (elapsed->elapsed() < kWaitMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

void Journey::press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, Qt::Key(key), modifiers);
}

bool Journey::menuCommand(int id) {
    frame_->updateMenuState();
    QAction* a = frame_->action(id);
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return true;
}

void Journey::whenDialogOpens(std::function<void(QDialog*)> answer) {
    dialogAnswer_ = std::move(answer);
    // Polled from the event loop: the dialog runs its own loop once open.
    // Owned by the window: it goes with the journey.
    auto* timer = new QTimer(frame_.get());
    timer->setInterval(10);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, elapsed] {
        if (dialogAnswer_) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible()) {
                auto answer = std::move(dialogAnswer_);
                dialogAnswer_ = {};
                ++dialogsAnswered_;
                answer(dialog);
            } else if (elapsed->elapsed() < kWaitMs) {
                return;
            }
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

void Journey::applyFileAction(const QString& action) {
    whenDialogOpens([action](QDialog* dialog) {
        if (!action.isEmpty()) {
            for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                if (b->text() == action)
                    b->click();
        }
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
            if (b->text() == QLatin1String("Apply")) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "the dialog has no Apply button";
        dialog->reject();
    });
}
