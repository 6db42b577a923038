#include "platform/ui/accessible_menu_item.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

namespace {

// Position of the mnemonic mark, "&&" being a literal ampersand.
qsizetype MnemonicIndex(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return i;
        ++i;
    }
    return -1;
}

}  // namespace

AccessibleMenuItem::AccessibleMenuItem(QWidget* owner, QAction* action)
    : action_(action), owner_(owner) {}

QString AccessibleMenuItem::nameFor(const QString& text) {
    QString plain = text;
    const qsizetype mark = MnemonicIndex(plain);
    if (mark >= 0)
        plain.remove(mark, 1);
    plain.replace(QStringLiteral("&&"), QStringLiteral("&"));
    QStringList parts;
    for (const QString& part : plain.split(QLatin1Char('\t'))) {
        // Only the blanks that pad a column go; the texts keep theirs.
        QString p = part;
        while (p.endsWith(QLatin1Char(' ')))
            p.chop(1);
        while (p.startsWith(QLatin1Char(' ')))
            p.remove(0, 1);
        if (!p.isEmpty())
            parts << p;
    }
    return parts.join(QLatin1Char(' '));
}

bool AccessibleMenuItem::isValid() const {
    return action_ && owner_;
}

QObject* AccessibleMenuItem::object() const {
    return action_;
}

QWindow* AccessibleMenuItem::window() const {
    return owner_ ? owner_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleMenuItem::parent() const {
    return QAccessible::queryAccessibleInterface(owner_);
}

QAccessibleInterface* AccessibleMenuItem::child(int index) const {
    if (index == 0 && action_ && action_->menu())
        return QAccessible::queryAccessibleInterface(action_->menu());
    return nullptr;
}

int AccessibleMenuItem::childCount() const {
    return action_ && action_->menu() ? 1 : 0;
}

int AccessibleMenuItem::indexOfChild(const QAccessibleInterface* child) const {
    return child && action_ && child->object() == action_->menu() ? 0 : -1;
}

QAccessibleInterface* AccessibleMenuItem::childAt(int x, int y) const {
    QAccessibleInterface* sub = child(0);
    return sub && sub->rect().contains(x, y) ? sub : nullptr;
}

QString AccessibleMenuItem::text(QAccessible::Text t) const {
    if (!action_)
        return {};
    switch (t) {
        case QAccessible::Name:
            return nameFor(action_->text());
        case QAccessible::Accelerator: {
            const QKeySequence keys = action_->shortcut();
            if (!keys.isEmpty())
                return keys.toString();
            const QString text = action_->text();
            const qsizetype mark = MnemonicIndex(text);
            return mark >= 0 ? QKeySequence(Qt::ALT).toString(QKeySequence::NativeText) +
                                   text.at(mark + 1)
                             : QString();
        }
        default:
            return {};
    }
}

QRect AccessibleMenuItem::rect() const {
    if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
        return bar->actionGeometry(action_).translated(bar->mapToGlobal(QPoint(0, 0)));
    if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
        return menu->actionGeometry(action_).translated(menu->mapToGlobal(QPoint(0, 0)));
    return {};
}

QAccessible::Role AccessibleMenuItem::role() const {
    return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
}

QAccessible::State AccessibleMenuItem::state() const {
    QAccessible::State s;
    if (!action_ || !owner_) {
        s.invalid = true;
        return s;
    }
    if (!owner_->testAttribute(Qt::WA_WState_Visible) || !action_->isVisible())
        s.invisible = true;
    if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
        s.focused = menu->activeAction() == action_;
    else if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
        s.focused = bar->activeAction() == action_;
    if (owner_->style()->styleHint(QStyle::SH_Menu_MouseTracking))
        s.hotTracked = true;
    if (action_->isSeparator() || !action_->isEnabled())
        s.disabled = true;
    s.checkable = action_->isCheckable();
    s.checked = action_->isChecked();
    s.hasPopup = action_->menu() != nullptr;
    return s;
}

void* AccessibleMenuItem::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList AccessibleMenuItem::actionNames() const {
    if (!action_ || action_->isSeparator())
        return {};
    return {action_->menu() ? showMenuAction() : pressAction()};
}

void AccessibleMenuItem::doAction(const QString& actionName) {
    if (!action_ || !action_->isEnabled())
        return;
    if (actionName == pressAction()) {
        action_->trigger();
        return;
    }
    if (actionName != showMenuAction() || !action_->menu())
        return;
    if (action_->menu()->isVisible())
        action_->menu()->hide();
    else if (auto* bar = qobject_cast<QMenuBar*>(owner_.data()))
        bar->setActiveAction(action_);
    else if (auto* menu = qobject_cast<QMenu*>(owner_.data()))
        menu->setActiveAction(action_);
}

QStringList AccessibleMenuItem::keyBindingsForAction(const QString&) const {
    return {};
}
