#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QWidget;

// A menu entry whose text carries a tab ("Check\tFTP commands", "Upload
// to\t/www"). The tab only splits the entry into two columns on screen; a
// screen reader hears both parts as one name, and the key sequence, if any,
// as the accelerator. Otherwise it behaves as Qt's own menu entries do.
class AccessibleMenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleMenuItem(QWidget* owner, QAction* action);

    // The name read for a menu text: mnemonic marks dropped, tabs read as blanks.
    static QString nameFor(const QString& text);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QPointer<QAction> action_;
    QPointer<QWidget> owner_;
};
