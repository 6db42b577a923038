#pragma once

#include "platform/help_viewer.h"
#include "platform/program_texts.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

struct HelpLocation;
class QTextBrowser;
class QToolButton;

// The program's help: the HTML pages of the help folder in a small window
// with Back, Forward and Contents. Topics are page names relative to the help
// folder, optionally with an anchor ("option.htm#General_options").
class HelpWindow : public QWidget, public HelpViewer {
    Q_OBJECT
public:
    // The help folders of an installed or a built program, in search order.
    static QStringList defaultFolders();
    static QString contentsTopic() { return QString::fromLatin1(HelpTopics::kContents); }

    explicit HelpWindow(QWidget* parent = nullptr);
    explicit HelpWindow(QStringList folders, QWidget* parent = nullptr);

    // Opens the topic and brings the window to the front.
    void showTopic(const QString& topic) override;

    // Links that leave the help (web addresses); the desktop's browser by default.
    void setExternalOpener(std::function<void(const QUrl&)> opener) {
        externalOpener_ = std::move(opener);
    }
    const QStringList& folders() const { return folders_; }
    QTextBrowser* browser() const { return browser_; }

public slots:
    // A link clicked in a page.
    void followLink(const QUrl& link);

private:
    void open(const QString& topic);
    void updateButtons();
    void applyStyleSheet(const HelpLocation& where);

    QStringList folders_;
    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
    QToolButton* home_;
    std::function<void(const QUrl&)> externalOpener_;
    QString styleSheetFile_;
};
