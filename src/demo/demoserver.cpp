#include "demo/demoserver.h"

#include "demo/democatalogue.h"
#include "demo/demopages.h"
#include "demo/demophotopool.h"
#include "demo/demositestate.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <limits>

Q_LOGGING_CATEGORY(lcDemoServer, "listoro.demo.server", QtWarningMsg)

using namespace Qt::StringLiterals;

namespace {

const QByteArray htmlType = QByteArrayLiteral("text/html; charset=utf-8");

} // namespace

DemoServer::DemoServer(Setup setup, QObject *parent)
    : QObject(parent)
    , m_setup(std::move(setup))
    , m_http(new QHttpServer(this))
{
    const auto get = QHttpServerRequest::Method::Get;
    m_http->route(u"/listoro-demo/search"_s, get,
                  [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                      respond(request, std::move(responder), searchPage(request));
                  });
    m_http->route(u"/listoro-demo/item/<arg>"_s, get,
                  [this](const QString &file, const QHttpServerRequest &request,
                         QHttpServerResponder &&responder) {
                      respond(request, std::move(responder),
                              listingPage(request.url().path(), file));
                  });
    m_http->route(u"/listoro-demo/photos/<arg>"_s, get,
                  [this](const QString &file, const QHttpServerRequest &request,
                         QHttpServerResponder &&responder) {
                      respond(request, std::move(responder), photo(request.url().path(), file));
                  });
    m_http->route(u"/ipad/settings.txt"_s, get,
                  [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                      respond(request, std::move(responder), settingsFile(request.url().path()));
                  });
    m_http->setMissingHandler(
        [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
            respond(request, std::move(responder), notFound(request.url().path()));
        });
}

DemoServer::~DemoServer()
{
    // The responders refer to the server's connections: let them go first.
    m_pending.clear();
    delete m_http;
}

quint16 DemoServer::listen(quint16 port)
{
    const quint16 bound = m_http->listen(QHostAddress::LocalHost, port);
    if (bound == 0) {
        qCWarning(lcDemoServer) << "cannot listen on 127.0.0.1 port" << port;
        return 0;
    }
    m_base = u"http://127.0.0.1:%1"_s.arg(bound);
    return bound;
}

DemoServer::Answer DemoServer::searchPage(const QHttpServerRequest &request) const
{
    // A missing, malformed or non-positive page number means the first page, as on real sites.
    int page = 1;
    bool ok = false;
    const qlonglong asked = request.query().queryItemValue(u"page"_s).toLongLong(&ok);
    if (ok && asked > 1)
        page = int(std::min<qlonglong>(asked, std::numeric_limits<int>::max()));
    // The search box's words (as many as a search box takes) and a category link's number.
    DemoCatalogue::Search search;
    // A form sends its words with "+" for each space.
    QString words = request.query().queryItemValue(u"query"_s, QUrl::FullyEncoded);
    words.replace(u'+', u' ');
    search.words = QUrl::fromPercentEncoding(words.toUtf8()).left(200);
    const int category = request.query().queryItemValue(u"cat"_s).toInt(&ok);
    if (ok && category >= 0 && category < DemoCatalogue::categoryCount())
        search.category = category;
    return { StatusCode::Ok, htmlType, DemoPages::resultsPage(*m_setup.catalogue, page, search) };
}

DemoServer::Answer DemoServer::listingPage(const QString &path, const QString &file) const
{
    static const QRegularExpression pattern(u"^(\\d{1,15})\\.html$"_s);
    const QRegularExpressionMatch match = pattern.match(file);
    const int index
        = match.hasMatch() ? m_setup.catalogue->indexOfId(match.capturedView(1).toLongLong()) : -1;
    if (index < 0)
        return notFound(path);
    return withFailure({ StatusCode::Ok, htmlType,
                         DemoPages::listingPage(m_setup.catalogue->listing(index), m_base) },
                       path);
}

DemoServer::Answer DemoServer::photo(const QString &path, const QString &file) const
{
    static const QRegularExpression pattern(u"^(\\d{1,15})-(\\d{1,4})(-thumb)?\\.jpg$"_s);
    const QRegularExpressionMatch match = pattern.match(file);
    if (!match.hasMatch())
        return notFound(path);
    const DemoListing listing = m_setup.catalogue->listing(
        m_setup.catalogue->indexOfId(match.capturedView(1).toLongLong()));
    const int k = match.capturedView(2).toInt();
    if (listing.index < 0 || k >= listing.photoCount)
        return notFound(path);
    const DemoPhotoPool::Photo &photo = m_setup.photos->photo(DemoPhotoPool::poolIndex(listing, k));
    const bool thumb = match.hasCaptured(3);
    const QByteArray &bytes = thumb             ? photo.thumbJpeg
        : DemoPhotoPool::servesCopy(listing, k) ? photo.copyJpeg
                                                : photo.jpeg;
    return withFailure({ StatusCode::Ok, QByteArrayLiteral("image/jpeg"), bytes }, path);
}

DemoServer::Answer DemoServer::settingsFile(const QString &path) const
{
    const QByteArray document = m_setup.state->settingsDocument();
    if (document.isNull())
        return notFound(path);
    return { StatusCode::Ok, QByteArrayLiteral("text/plain; charset=utf-8"), document };
}

DemoServer::Answer DemoServer::withFailure(Answer answer, const QString &path) const
{
    switch (m_setup.failures.failureFor(path)) {
    case DemoFailure::None:
        break;
    case DemoFailure::ServerError:
        return { StatusCode::InternalServerError, htmlType, DemoPages::serverErrorPage(),
                 DemoFailure::ServerError };
    case DemoFailure::CutOff:
        answer.failure = DemoFailure::CutOff;
        break;
    }
    return answer;
}

DemoServer::Answer DemoServer::notFound(const QString &path)
{
    return { StatusCode::NotFound, htmlType, DemoPages::notFoundPage(path) };
}

void DemoServer::respond(const QHttpServerRequest &request, QHttpServerResponder &&responder,
                         Answer answer)
{
    m_setup.state->countRequest(request.url().path());
    if (m_setup.delayMs <= 0) {
        send(responder, answer);
        return;
    }
    const quint64 id = ++m_lastPending;
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] { sendPending(id); });
    QPointer<QTcpSocket> socket = responder.socket();
    m_pending.emplace(id,
                      Pending{ std::make_unique<QHttpServerResponder>(std::move(responder)), socket,
                               timer, std::move(answer) });
    timer->start(m_setup.delayMs);
}

void DemoServer::sendPending(quint64 id)
{
    const auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    Pending pending = std::move(it->second);
    m_pending.erase(it);
    pending.timer->deleteLater();
    // The client may have given up while the answer waited.
    if (pending.socket && pending.socket->state() == QAbstractSocket::ConnectedState)
        send(*pending.responder, pending.answer);
}

void DemoServer::send(QHttpServerResponder &responder, const Answer &answer)
{
    // Headers and body go out in separate writes: without this the body would wait for the
    // client's delayed acknowledgement of the headers, some 40 ms.
    if (QTcpSocket *socket = responder.socket())
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (answer.failure != DemoFailure::CutOff) {
        responder.write(answer.body, answer.contentType, answer.status);
        return;
    }
    // Announce the whole body, send half of it, then hang up, as a server that dies mid-reply.
    responder.writeStatusLine(answer.status);
    responder.writeHeader(QByteArrayLiteral("Content-Type"), answer.contentType);
    responder.writeHeader(QByteArrayLiteral("Content-Length"),
                          QByteArray::number(answer.body.size()));
    responder.writeBody(answer.body.left(answer.body.size() / 2));
    if (QTcpSocket *socket = responder.socket())
        socket->disconnectFromHost();
}
