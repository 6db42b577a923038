#include "extras/ui/about_box.h"

#include "extras/image_decoder.h"
#include "extras/ui/markup_view.h"
#include "platform/help_viewer.h"
#include "velmora_version.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QVBoxLayout>

namespace {

// Internal link action: open a help topic given as the argument.
constexpr int kOpenHelpTopic = 1;

}  // namespace

QString AboutBox::firstBlock() {
    return QStringLiteral(
        "<vspace size='24'>"
        "<font face='Comic Sans MS' size='32' style='b' color='255,164,0' align='center'>"
        "Velmora</font><vspace size='10'>"
        "<font face='Tahoma' size='12' color='255,255,255' align='center'>"
        "Version " VELMORA_VERSION
        "<br>"
        "An FTP client for people who look after web sites<vspace size='12'>"
        "<a href='#About.htm#1' style='u' color='120,190,255'>Help contents</a>"
        "</font><vspace size='60'>");
}

QString AboutBox::secondBlock() {
    return QStringLiteral(
               "<font face='Tahoma' size='12' color='200,200,200' align='center'>"
               "Built with Qt %1<br>Pictures are read by<br>%2</font><vspace size='60'>")
        .arg(QLatin1String(qVersion()), ImageLibraryVersions().toHtmlEscaped());
}

AboutBox::AboutBox(HelpViewer& help, Launcher& launcher, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    view_ = new MarkupView(launcher, this);
    view_->setBackground(QColor(0x33, 0x33, 0x33));
    view_->setMinimumSize(420, 240);
    view_->setMarkup(firstBlock());
    view_->setInternalHandler([&help](int action, const std::optional<QString>& argument) {
        if (action == kOpenHelpTopic && argument)
            help.showTopic(*argument);
    });
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(1, 1, 1, 1);
    inner->addWidget(view_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addWidget(buttons);

    second_.setSingleShot(true);
    connect(&second_, &QTimer::timeout, this, [this] { view_->appendMarkup(secondBlock()); });
    second_.start(300);
}
