#include "session/ui/chat_page.h"

#include "session/ui/chat_pane.h"

#include <QSplitter>
#include <QVBoxLayout>

ChatPage::ChatPage(QWidget* taskPanel, QWidget* parent)
    : QWidget(parent),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      pane_(new ChatPane(ChatPaneKind::FtpChat, splitter_)),
      taskPanel_(taskPanel) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    splitter_->addWidget(pane_);
    if (taskPanel_)
        splitter_->addWidget(taskPanel_);
    splitter_->setChildrenCollapsible(false);
    // The conversation gets the larger share; the boxes need width for paths.
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
}
