#pragma once
// The banner "CppWebAD": a small page of the web service, fetched in the background at start-up
// and again at every tick of TimerAD, shown as rich text with its pictures. A clicked link opens
// in the default browser. A page that does not arrive shows nothing, and the next tick tries
// again; a tick drops whatever of the last load is still on its way, so slow answers never pile up.
// What is laid out is bounded (BannerMarkup), so no page holds the window.
#include <QtCore/QHash>
#include <QtCore/QPointer>
#include <QtCore/QUrl>
#include <QtGui/QImage>
#include <QtNetwork/QNetworkAccessManager>
#include <QtWidgets/QTextBrowser>

#include <functional>

class QNetworkReply;
class QTimer;

class BannerView : public QTextBrowser
{
    Q_OBJECT
  public:
    static constexpr int Width = 471;
    static constexpr int Height = 63;
    static constexpr int IntervalMs = 12500;
    static constexpr qint64 MaxPageBytes = 1024 * 1024;
    static constexpr qint64 MaxPictureBytes = 2 * 1024 * 1024;
    static constexpr int MaxPictures = 16;
    static constexpr qint64 MaxPictureSide = 2048;

    explicit BannerView(QWidget* parent = nullptr);

    // Loads the page now and at every tick from then on; the address is asked for at each load.
    void start(std::function<QString()> address);
    // Where a clicked link goes (the default browser).
    void setLinkOpener(std::function<void(const QString&)> open) { openLink_ = std::move(open); }
    void TimerADTimer();

    // Replies still on their way: the page and its pictures.
    int repliesInFlight() const;
    QTimer* TimerAD;

  signals:
    // A load ended: with the banner shown, or with nothing shown.
    void loadFinished(bool shown);

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QNetworkReply* get(const QUrl& url, qint64 cap);
    void abortAll();
    void pageArrived(QNetworkReply* reply);
    void pictureArrived(QNetworkReply* reply, const QString& source);
    void showIfComplete();
    void showNothing();
    void linkClicked(const QUrl& link);

    QNetworkAccessManager network_;
    std::function<QString()> address_;
    std::function<void(const QString&)> openLink_ = [](const QString&) {};
    QPointer<QNetworkReply> page_;
    QList<QPointer<QNetworkReply>> pictures_;
    QUrl base_;
    QString html_;
    QHash<QString, QImage> images_;
};
