#pragma once

#include "ui/storyboardsegue.h"
#include "ui/viewcontroller.h"

#include <QStringList>

#include <functional>

// A screen that writes every lifecycle call into a shared log as "name:call".
class RecordingScreen : public ViewController
{
public:
    RecordingScreen(const QString &name, QStringList *log)
        : m_name(name)
        , m_log(log)
    {
    }

    void viewDidLoad() override { record(QStringLiteral("viewDidLoad")); }
    void viewWillAppear(bool) override { record(QStringLiteral("viewWillAppear")); }
    void viewDidAppear(bool) override { record(QStringLiteral("viewDidAppear")); }
    void viewWillDisappear(bool) override { record(QStringLiteral("viewWillDisappear")); }
    void viewDidDisappear(bool) override { record(QStringLiteral("viewDidDisappear")); }
    void didRotateFromInterfaceOrientation(bool wasLandscape) override
    {
        record(wasLandscape ? QStringLiteral("didRotate:fromLandscape")
                            : QStringLiteral("didRotate:fromPortrait"));
    }
    void prepareForSegue(StoryboardSegue &segue, QObject *sender) override
    {
        record(QStringLiteral("prepareForSegue:") + segue.identifier);
        if (onPrepare)
            onPrepare(segue, sender);
    }

    std::function<void(StoryboardSegue &, QObject *)> onPrepare;

private:
    void record(const QString &call)
    {
        if (m_log)
            m_log->append(m_name + u':' + call);
    }

    QString m_name;
    QStringList *m_log;
};
