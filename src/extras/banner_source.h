#pragma once

#include "extras/banner_set.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Where the banner page comes from: the environment variable
// VELMORA_BANNER_URL, else the first line of "banner-address.txt" in the
// Setting folder. Only http and https addresses count; without one the
// feature is off. `testPage` (Control held at start) asks for the page's
// "-test" twin: ".../banners.htm" becomes ".../banners-test.htm".
QUrl BannerAddress(const QString& settingFolder, const QByteArray& environment, bool testPage);

// Fetches the banner page once, asynchronously, then cuts it and writes the
// page files. Each attempt may take 10 s; a failed one is tried again twice
// after a pause. Pages longer than the limit are refused.
class BannerSource : public QObject {
    Q_OBJECT
public:
    struct PageFile {
        QString label;
        QString path;
    };

    // Page files and the single banner file go to `workFolder`.
    BannerSource(QString workFolder, int desktopHeight, QObject* parent = nullptr);
    ~BannerSource() override;

    // Starts the fetch; with an empty address `finished` comes at once with
    // no banners.
    void start(const QUrl& address);

    void setRetryPause(int ms) { retryPause_ = ms; }
    void setAttemptTimeout(int ms) { attemptTimeout_ = ms; }

    bool running() const { return !reply_.isNull() || waiting_; }
    const BannerSet& banners() const { return set_; }
    const QList<PageFile>& pageFiles() const { return files_; }
    const QString& workFolder() const { return workFolder_; }
    QString error() const { return error_; }

signals:
    // The fetch ended: the set holds the banners (none on any failure).
    void finished();

private:
    void attempt();
    void onReadyRead();
    void onFinished();
    void finish(const QByteArray& body, const QString& error);

    QString workFolder_;
    int desktopHeight_;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QUrl address_;
    QByteArray body_;
    bool tooLong_ = false;
    bool waiting_ = false;
    int attempts_ = 0;
    int retryPause_ = 10000;
    int attemptTimeout_ = 10000;
    BannerSet set_;
    QList<PageFile> files_;
    QString error_;
};

// Writes one file whole (replacing any old one); false when it cannot.
bool WriteBannerFile(const QString& path, const QByteArray& bytes);
