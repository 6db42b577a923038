#include "extras/banner_source.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace {

constexpr int kRetries = 2;

}  // namespace

QUrl BannerAddress(const QString& settingFolder, const QByteArray& environment, bool testPage) {
    QString text = QString::fromUtf8(environment).trimmed();
    if (text.isEmpty()) {
        QFile f(QDir(settingFolder).filePath(QStringLiteral("banner-address.txt")));
        if (f.open(QIODevice::ReadOnly))
            text = QString::fromUtf8(f.readLine(4096)).trimmed();
    }
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        return {};
    if (testPage) {
        QString path = url.path();
        if (path.endsWith(QLatin1String(".htm")) || path.endsWith(QLatin1String(".html"))) {
            path.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("-test"));
            url.setPath(path);
        }
    }
    return url;
}

bool WriteBannerFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bytes);
    return f.commit();
}

BannerSource::BannerSource(QString workFolder, int desktopHeight, QObject* parent)
    : QObject(parent),
      workFolder_(std::move(workFolder)),
      desktopHeight_(desktopHeight),
      network_(new QNetworkAccessManager(this)) {}

BannerSource::~BannerSource() {
    if (reply_)
        reply_->abort();
}

void BannerSource::start(const QUrl& address) {
    if (running())
        return;
    address_ = address;
    attempts_ = 0;
    set_ = BannerSet();
    files_.clear();
    error_.clear();
    if (address.isEmpty()) {
        error_ = QStringLiteral("no banner address");
        QTimer::singleShot(0, this, &BannerSource::finished);
        return;
    }
    attempt();
}

void BannerSource::attempt() {
    waiting_ = false;
    ++attempts_;
    body_.clear();
    tooLong_ = false;
    QNetworkRequest request(address_);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("AppName"));
    request.setTransferTimeout(attemptTimeout_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &BannerSource::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &BannerSource::onFinished);
}

void BannerSource::onReadyRead() {
    if (!reply_)
        return;
    body_ += reply_->readAll();
    if (body_.size() > kMaxBannerPageBytes) {
        tooLong_ = true;
        reply_->abort();
    }
}

void BannerSource::onFinished() {
    QNetworkReply* reply = reply_;
    if (!reply)
        return;
    reply_.clear();
    reply->deleteLater();
    if (tooLong_) {
        finish({}, QStringLiteral("the banner page is too long"));
        return;
    }
    body_ += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200) {
        finish(body_, {});
        return;
    }
    // Only a connection that failed is tried again; an answer is final.
    const bool noAnswer = status == 0;
    if (noAnswer && attempts_ <= kRetries) {
        waiting_ = true;
        QTimer::singleShot(retryPause_, this, &BannerSource::attempt);
        return;
    }
    finish({}, reply->errorString());
}

void BannerSource::finish(const QByteArray& body, const QString& error) {
    error_ = error;
    if (error.isEmpty()) {
        set_ = ParseBannerPage(body, desktopHeight_);
        if (!set_.pages.isEmpty() || !set_.singles.isEmpty())
            QDir().mkpath(workFolder_);
        for (int i = 0; i < set_.pages.size(); ++i) {
            const QString path = QDir(workFolder_).filePath(BannerPageFileName(i));
            if (WriteBannerFile(path, BannerPageFile(set_.head, set_.pages[i])))
                files_.append({BannerTabLabel(set_.labels, i), path});
        }
    }
    emit finished();
}
