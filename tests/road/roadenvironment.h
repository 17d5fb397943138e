#pragma once

#include "demo/demosite.h"
#include "scrape/linkextractor.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

// What every road test starts from: its own cache directory and user-defaults store, with the
// shipped rule sets stored. Destroying it puts the process-wide settings back.
class RoadEnvironment
{
public:
    RoadEnvironment();
    ~RoadEnvironment();
    RoadEnvironment(const RoadEnvironment &) = delete;
    RoadEnvironment &operator=(const RoadEnvironment &) = delete;

    bool isValid() const { return valid; }
    QString cachePath() const;

    // The body of url fetched through the application's HTTP client; null when it failed.
    static QByteArray fetch(const QUrl &url);

    // Mismatches between a detailed record and the demo listing at index, one line each;
    // empty when the record holds exactly the listing's title, url, photos and sizes.
    static QStringList differences(const DemoSite &site, int index, const ParsedLink &record);

private:
    QTemporaryDir dir;
    bool valid = false;
};
