#pragma once

#include "platform/addresspolicy.h"
#include "platform/floatsize.h"
#include "scrape/listingprice.h"
#include "scrape/photofetcher.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class HttpFetch;
class LinkDetailer;
class ParsedLink;

// What a record knows of the extractor that made it: whom to tell when it changed.
class LinkExtractorInterface
{
public:
    virtual ~LinkExtractorInterface() = default;
    virtual void refresh(const std::shared_ptr<ParsedLink> &record) = 0;
};

// One listing of a results page: its title, address and photos. The detail fetch fills in the
// title and the photo URLs; the record then has its photos downloaded and cached (PhotoFetcher)
// and tells its extractor after every change. Its class operations are the disk cache of pages
// and photos (PageCache).
//
// Photo bookkeeping (images, imagesSizes, failedImages) is written from the GUI thread and from
// background tasks; it is guarded by the record's lock, and its accessors return copies.
class ParsedLink : public std::enable_shared_from_this<ParsedLink>
{
public:
    using Ptr = std::shared_ptr<ParsedLink>;

    explicit ParsedLink(std::weak_ptr<LinkExtractorInterface> extractor = {});
    ~ParsedLink();
    ParsedLink(const ParsedLink &) = delete;
    ParsedLink &operator=(const ParsedLink &) = delete;

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    // The asking price its results row or its own page shows; null when neither does.
    ListingPrice price() const { return m_price; }
    void setPrice(const ListingPrice &price) { m_price = price; }
    // The posted date as the page writes it, and when that is (UTC; invalid when unread).
    QString date() const { return m_date; }
    void setDate(const QString &date) { m_date = date; }
    QDateTime posted() const { return m_posted; }
    // Not listed at the last visit of the bookmarked page that lists it now: marked "New".
    bool isNew() const { return m_new; }
    void setNew(bool isNew) { m_new = isNew; }
    void setPosted(const QDateTime &posted) { m_posted = posted; }
    // The same offer posted at other addresses (same first photo, close title), shown as this
    // one: marked "Reposted". Set on the GUI thread; a change counts as one of the record's.
    struct OtherPosting
    {
        QString url;
        QDateTime posted;
        QString date;
        bool operator==(const OtherPosting &) const = default;
    };
    QList<OtherPosting> otherPostings() const { return m_otherPostings; }
    void setOtherPostings(const QList<OtherPosting> &postings);
    // The earliest posted date of this listing and its other postings; invalid when none is read.
    QDateTime firstPosted() const;
    std::optional<QStringList> imagesUrls() const;
    void setImagesUrls(const std::optional<QStringList> &urls);
    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }
    int idInList() const { return m_idInList; }
    void setIdInList(int idInList) { m_idInList = idInList; }
    // Photo index to photo URL, for every photo that completed; absent before downloads start.
    std::optional<QMap<int, QString>> images() const;
    int imagesCount() const;
    std::optional<QMap<int, int>> lineHeights() const;
    int height() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    std::shared_ptr<LinkDetailer> detailer() const { return m_detailer; }
    void setDetailer(std::shared_ptr<LinkDetailer> detailer) { m_detailer = std::move(detailer); }
    std::shared_ptr<LinkExtractorInterface> extractor() const { return m_extractor.lock(); }
    bool done() const { return m_done; }
    void setDone(bool done) { m_done = done; }
    // Pixel size of each downloaded photo by its URL; absent before downloads start.
    std::optional<QHash<QString, FloatSize>> imagesSizes() const;
    // Size of the listing's tile as last laid out; a height of 0: not laid out yet.
    FloatSize size() const;
    void setSize(FloatSize size);

    // What the listing page and its photos may reach, as the page that named the listing
    // decides; none: the listing's own address decides (a favorite). Set on the GUI thread.
    std::optional<AddressPolicy::Reach> reach() const { return m_reach; }
    void setReach(std::optional<AddressPolicy::Reach> reach) { m_reach = reach; }
    // Photos the listing page named at addresses out of reach: never fetched, no photos.
    QList<AddressPolicy::Refusal> refusedImages() const;
    void setRefusedImages(const QList<AddressPolicy::Refusal> &refused);

    // Photos that will never complete (unreachable, not an image, not a URL), by index.
    QSet<int> failedImages() const;
    // Photos that completed or failed: the ones nothing more will happen to.
    int settledImagesCount() const;
    // The listing page itself could not be fetched.
    bool detailFailed() const { return m_detailFailed; }
    void setDetailFailed(bool failed) { m_detailFailed = failed; }
    // The site refused the listing page (HTTP 403, 429 or 503, also when asked again).
    bool refused() const { return m_refused; }
    // Why the listing page could not be had, in a few words ("HTTP 404", "timed out"); null
    // while it has not failed.
    QString detailFailure() const { return m_detailFailure; }
    // Records that the listing page could not be had and why, and reports the change.
    void markDetailFailed(const QString &why, bool refused = false);
    // Nothing more will happen to the record: done, its page failed, or every photo either
    // completed or failed.
    bool settled() const;
    // Counts the changes the record has reported; a view drawn at one revision is stale once it
    // moves on.
    int revision() const;

    // Tells the extractor, then starts the photo downloads. The detail fetch calls it once it
    // has set the title and the photo URLs.
    void refresh();
    void downloadImages();
    // One photo's worker: fetch (unless cached), decode, store as JPEG, record its size, then
    // complete it on the GUI thread.
    void downloadImageInThread(int index);
    void checkAllImagesDownloaded();
    // Fetches url; done gets, on the GUI thread, the bytes (empty on failure) and whether the
    // server served them as what was asked for (a 2xx status).
    void getContentsOfURL(const QUrl &url,
                          std::function<void(const QByteArray &bytes, bool served)> done);
    // Decodes bytes, stores the photo as JPEG under url and records its size. Returns whether
    // the bytes were an image. Runs on any thread.
    bool cacheImageOnDisk(const QByteArray &bytes, const QString &url);
    FloatSize getSizeForImageByUrl(const QString &url) const;
    // Abandons every running photo fetch; nothing more completes.
    void stopDownloads();
    // Fetches again every photo that failed (those that completed stay as cached); returns how
    // many. The record reports the change first, so views stop showing them as failed.
    int retryFailedPhotos();

    // The disk cache.
    static QString cacheFileName(const QString &url);
    static QString getFilePathFromStringURL(const QString &url);
    static QString getImagePathFromStringURL(const QString &url);
    static QString getImagePathFromStringURL(const QString &url, FloatSize fitSize);
    static void cacheUrlOnDisk(const QByteArray &data, const QString &url);
    static bool isCachedUrl(const QString &url);
    static bool isCachedImageWithUrl(const QString &url);
    static bool isCachedImageWithUrl(const QString &url, FloatSize fitSize);
    static void resizeImageOnDiskWithUrl(const QString &url, FloatSize fitSize);
    static void cleanCache();

    // The record's re-entrant lock.
    QRecursiveMutex &lock() const { return mutex; }

private:
    // Completes, or fails, every photo index listed with url: a photo listed twice is fetched
    // and decoded once.
    void completePhoto(const QString &url, bool isImage);
    void failPhoto(const QString &url);
    void recordSize(const QString &url, FloatSize size);
    void tellExtractor();

    QString m_title;
    ListingPrice m_price;
    QString m_date;
    QDateTime m_posted;
    bool m_new = false;
    QList<OtherPosting> m_otherPostings;
    std::optional<QStringList> m_imagesUrls;
    QString m_url;
    int m_idInList = 0;
    std::optional<QMap<int, QString>> m_images;
    std::optional<QMap<int, int>> m_lineHeights;
    int m_height = 0;
    std::shared_ptr<LinkDetailer> m_detailer;
    std::weak_ptr<LinkExtractorInterface> m_extractor;
    std::atomic<bool> m_done = false;
    std::optional<QHash<QString, FloatSize>> m_imagesSizes;
    FloatSize m_size;
    QSet<int> m_failedImages;
    std::optional<AddressPolicy::Reach> m_reach;
    QList<AddressPolicy::Refusal> m_refusedImages;
    std::atomic<bool> m_detailFailed = false;
    std::atomic<bool> m_refused = false;
    QString m_detailFailure;
    std::atomic<bool> stopped = false;
    std::atomic<int> m_revision = 0;
    QList<std::shared_ptr<HttpFetch>> fetches;
    QList<std::shared_ptr<PhotoFetcher::Request>> photoRequests;
    mutable QRecursiveMutex mutex;
};
