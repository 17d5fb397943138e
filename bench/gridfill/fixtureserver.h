#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSemaphore>
#include <QString>
#include <QThread>

// Serves, on loopback and from a thread of its own (so that serving costs the GUI thread
// nothing), a results page linking `listings` listing pages and the pages themselves: the saved
// real listing pages, in turn, with their photo addresses moved onto this server and made unique
// to each listing. Every photo is one of a few JPEGs of real size.
//   /results.html         the results page: <a class="listing" href="/cl/N.html"> ...
//   /cl/N.html, /kj/N.html  listing N: a saved Craigslist or Kijiji listing page
//   /img/N/...             a photo
class FixtureServer final : public QThread
{
    Q_OBJECT

public:
    struct ListingPage
    {
        QString site; // "cl" or "kj"
        QByteArray html;
    };

    FixtureServer(QList<ListingPage> pages, int listings);
    ~FixtureServer() override;

    // Starts serving; the port, or 0 when nothing could listen.
    quint16 start();
    QString baseUrl() const;
    int requests() const { return m_requests.loadRelaxed(); }

protected:
    void run() override;

private:
    QByteArray respond(const QByteArray &path) const;

    QList<ListingPage> m_pages;
    int m_listings = 0;
    QList<QByteArray> m_photos;
    quint16 m_port = 0;
    QSemaphore m_listening;
    QAtomicInt m_requests;
};
