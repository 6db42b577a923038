#pragma once

#include <QDialog>
#include <QTimer>

class HelpViewer;
class Launcher;
class MarkupView;

// "About": the product name, the version and a link to the help, rolling
// on a dark background; a second block with the libraries follows shortly.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(HelpViewer& help, Launcher& launcher, QWidget* parent = nullptr);

    MarkupView* view() const { return view_; }
    static QString firstBlock();
    static QString secondBlock();

private:
    MarkupView* view_;
    QTimer second_;
};
