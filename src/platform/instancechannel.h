#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

// One running Listoro per profile: a second start hands what it was asked for (a page to open)
// to the one running, over a local socket, instead of opening a window of its own that would
// race it on the stores.
class InstanceChannel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceChannel)

public:
    // name tells profiles apart (the user's, the demo's); the user id is added to it.
    explicit InstanceChannel(const QString &name, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Hands message to the instance that listens on the name; true when it took it.
    bool handOver(const QByteArray &message, int timeoutMs = 2000) const;
    // Listens for later starts; false when the name cannot be taken.
    bool listen();

    // Messages longer than this are cut off: what a start hands over is one address.
    static constexpr qsizetype maxMessage = 64 * 1024;

signals:
    void received(const QByteArray &message);

private:
    void accept();

    QString serverName;
    QLocalServer *server = nullptr;
};
