#include "screens/teachpagebridge.h"

#include <QFile>
#include <QJsonDocument>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

QString teachScript()
{
    static const QString script = [] {
        QFile file(QStringLiteral(":/teach/teach.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return script;
}

// A JavaScript string literal of text.
QString quoted(const QString &text)
{
    return QString::fromUtf8(
               QJsonDocument::fromVariant(QVariantList{ text }).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

// The world the script lives in: the page's scripts cannot reach its objects there.
constexpr quint32 teachWorld = QWebEngineScript::ApplicationWorld;

} // namespace

TeachPageBridge::TeachPageBridge(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    m_poll.setInterval(120);
    connect(&m_poll, &QTimer::timeout, this, &TeachPageBridge::take);
}

TeachPageBridge::~TeachPageBridge()
{
    stop();
}

void TeachPageBridge::start()
{
    if (!m_view)
        return;
    m_view->page()->runJavaScript(teachScript(), teachWorld);
    m_poll.start();
}

void TeachPageBridge::stop()
{
    m_poll.stop();
    if (m_view)
        m_view->page()->runJavaScript(
            QStringLiteral("window.__listoroTeach && window.__listoroTeach.stop();"), teachWorld);
}

void TeachPageBridge::mark(const QString &xpath, const QString &kind,
                           std::function<void(int)> counted)
{
    if (!m_view)
        return;
    m_view->page()->runJavaScript(
        QStringLiteral("window.__listoroTeach ? window.__listoroTeach.mark(%1, %2) : 0")
            .arg(quoted(xpath), quoted(kind)),
        teachWorld, [counted = std::move(counted)](const QVariant &result) {
            if (counted)
                counted(result.toInt());
        });
}

void TeachPageBridge::clear()
{
    if (m_view)
        m_view->page()->runJavaScript(
            QStringLiteral("window.__listoroTeach && window.__listoroTeach.clear();"), teachWorld);
}

void TeachPageBridge::take()
{
    if (!m_view)
        return;
    const QPointer<TeachPageBridge> self(this);
    m_view->page()->runJavaScript(
        QStringLiteral("window.__listoroTeach ? window.__listoroTeach.take() : []"), teachWorld,
        [self](const QVariant &result) {
            if (!self || !self->isRunning())
                return;
            for (const QVariant &entry : result.toList()) {
                const QVariantMap map = entry.toMap();
                const auto text = [&map](const char *key) {
                    return map.value(QLatin1String(key)).toString();
                };
                Click click;
                click.tag = text("tag");
                click.text = text("text");
                click.linkText = text("linkText");
                click.href = text("href");
                click.src = text("src");
                click.path = text("path");
                click.linkPath = text("linkPath");
                click.imagePath = text("imagePath");
                click.highlighted = map.value(QStringLiteral("highlighted")).toBool();
                emit self->clicked(click);
            }
        });
}
