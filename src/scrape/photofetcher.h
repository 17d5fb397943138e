#pragma once

#include "platform/addresspolicy.h"
#include "platform/floatsize.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// Downloads the photos of listing records: one download for an address however many records ask
// for it at once, its bytes decoded and stored in the cache as JPEG off the GUI thread, and the
// outcome told on the GUI thread to every record still waiting. A record that stops waiting drops
// its request; a download nobody waits for any more is abandoned.
class PhotoFetcher
{
public:
    enum class Outcome {
        Stored, // decoded and cached; size is the photo's
        NotAnImage, // an answer that is no photo (an error page, undecodable bytes): not cached
        Failed, // no answer at all
    };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        FloatSize size;
    };
    using Done = std::function<void(const Result &)>;

    // One caller's wait for a photo. Its callback runs once, unless it is dropped first.
    class Request
    {
    public:
        void drop();

    private:
        friend class PhotoFetcher;
        QString key;
        Done done;
        bool dropped = false;
    };

    // Call on the GUI thread. key is the photo's address as the record lists it; an address out
    // of reach (also after a redirect) is never asked and fails.
    static std::shared_ptr<Request> fetch(const QUrl &url, const QString &key,
                                          AddressPolicy::Reach reach, Done done);

    // Decodes bytes and stores the photo under url as JPEG; the photo's pixel size, or 0 by 0
    // when the bytes are no image. Runs on any thread.
    static FloatSize store(const QByteArray &bytes, const QString &url);

private:
    // Tells every request still waiting for the photo at key.
    static void land(const QString &key, const Result &result);
};
