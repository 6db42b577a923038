#pragma once

#include <QWidget>

class ChatPane;
class QSplitter;

// The "FTP chat" page: the conversation beside the task panel. The panel is
// made by the layer that owns the task list and handed in.
class ChatPage : public QWidget {
    Q_OBJECT
public:
    ChatPage(QWidget* taskPanel, QWidget* parent = nullptr);

    ChatPane* chatPane() const { return pane_; }
    QWidget* taskPanel() const { return taskPanel_; }
    QSplitter* splitter() const { return splitter_; }

private:
    QSplitter* splitter_;
    ChatPane* pane_;
    QWidget* taskPanel_;
};
