#pragma once

#include <QWidget>

#include <vector>

class PaneSplitter;
class QSplitter;

// The "Normal" page: the local side beside the remote side, with the chat
// pane of the main page under the remote views.
class NormalPage : public QWidget {
    Q_OBJECT
public:
    explicit NormalPage(QWidget* parent = nullptr);

    QWidget* localSlot() const { return local_; }
    QWidget* remoteSlot() const { return remote_; }
    QWidget* chatSlot() const { return chat_; }

    PaneSplitter* splitter() const { return outer_; }

private:
    PaneSplitter* outer_;
    QWidget* local_;
    QSplitter* right_;
    QWidget* remote_;
    QWidget* chat_;
};
