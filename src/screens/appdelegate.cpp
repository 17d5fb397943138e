#include "screens/appdelegate.h"

#include "ui/navigationcontroller.h"

#include <QCoreApplication>
#include <QGuiApplication>

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        applicationDidBecomeActive();
                    else
                        applicationWillResignActive();
                });
        connect(app, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    }
}

AppDelegate::~AppDelegate()
{
    delete m_window;
}

void AppDelegate::setWindow(NavigationController *window)
{
    if (m_window && m_window != window)
        delete m_window;
    m_window = window;
}
