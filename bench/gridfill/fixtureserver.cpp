#include "fixtureserver.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray drawPhoto(int seed)
{
    QImage image(1200, 900, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 900);
    sky.setColorAt(0, QColor::fromHsv(seed * 67 % 360, 90, 240));
    sky.setColorAt(1, QColor::fromHsv(seed * 67 % 360, 160, 90));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 400; ++i) {
        const int x = (i * 7919 + seed * 104729) % 1200;
        const int y = (i * 6271 + seed * 7907) % 900;
        painter.fillRect(x, y, 40 + i % 90, 30 + i % 70, QColor::fromHsv((i * 37) % 360, 120, 200));
    }
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 92);
    return jpeg;
}

QByteArray httpResponse(int status, const QByteArray &type, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found")
        + "\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

FixtureServer::FixtureServer(QList<ListingPage> pages, int listings)
    : m_pages(std::move(pages))
    , m_listings(listings)
{
    for (int seed = 0; seed < 4; ++seed)
        m_photos.append(drawPhoto(seed));
}

FixtureServer::~FixtureServer()
{
    quit();
    wait();
}

quint16 FixtureServer::start()
{
    QThread::start();
    m_listening.acquire();
    return m_port;
}

QString FixtureServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void FixtureServer::run()
{
    QTcpServer server;
    if (server.listen(QHostAddress::LocalHost))
        m_port = server.serverPort();
    m_listening.release();
    if (m_port == 0)
        return;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->peek(8192);
                if (!request.contains("\r\n\r\n"))
                    return;
                socket->readAll();
                m_requests.fetchAndAddRelaxed(1);
                const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
                socket->write(respond(line.value(1)));
                socket->disconnectFromHost();
            });
        }
    });
    exec();
}

QByteArray FixtureServer::respond(const QByteArray &path) const
{
    if (path == "/results.html") {
        QByteArray body = "<html><body><h1>Results</h1><ul>";
        for (int n = 0; n < m_listings; ++n) {
            const QByteArray site = m_pages.at(n % m_pages.size()).site.toLatin1();
            body += "<li><a class=\"listing\" href=\"/" + site + '/' + QByteArray::number(n)
                + ".html\">Listing " + QByteArray::number(n) + "</a></li>";
        }
        return httpResponse(200, "text/html; charset=utf-8", body + "</ul></body></html>");
    }
    static const QRegularExpression listing(QStringLiteral("^/(cl|kj)/(\\d+)\\.html$"));
    const QRegularExpressionMatch match = listing.match(QString::fromLatin1(path));
    if (match.hasMatch()) {
        const int n = match.captured(2).toInt();
        QString html = QString::fromUtf8(m_pages.at(n % m_pages.size()).html);
        // Photos on the image hosts of the saved pages come from here, unique to the listing.
        static const QRegularExpression host(
            QStringLiteral("https?://((images\\.craigslist\\.org|imgc\\.classistatic\\.com|"
                           "i\\.ebayimg\\.com|[a-z0-9.]*kijiji\\.ca)/)"));
        html.replace(host, baseUrl() + QStringLiteral("/img/%1/\\1").arg(n));
        return httpResponse(200, "text/html; charset=utf-8", html.toUtf8());
    }
    if (path.startsWith("/img/"))
        return httpResponse(200, "image/jpeg", m_photos.at(qHash(path) % m_photos.size()));
    return httpResponse(404, "text/plain", "not found");
}
