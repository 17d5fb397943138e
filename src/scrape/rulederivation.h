#pragma once

#include "scrape/zestoscrapesetting.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>

// Derives scrape rules from a page and what the user pointed at on it: the rules select by what
// the markup means (class tokens, ids, data- attributes, tag names of the repeating element
// around the example), never by positions such as div[3], and every rule is tried on the page
// before it is handed out.
class RuleDerivation
{
public:
    struct Result
    {
        // Null on success; otherwise a sentence for the user, and the rules are not usable.
        QString error;
        // The rule set: the derived rules and the address pattern; no name.
        ZestoScrapeSetting rules;
        // Listing links found (results), photos found (listing), next links (next).
        int count = 0;
        // The listing links' addresses; the title; the next link's address.
        QStringList values;
    };

    // What the user pointed at: its name (a link's address or text, a title's text, a photo's
    // address) and, from a click, the element's path in the page as the browser had it
    // (/html[1]/body[1]/ul[1]/li[2]/a[1]). The element at the path is the one meant when the
    // name describes it, so a page repeating the text elsewhere cannot pick another; the name
    // alone finds it when there is no path or the page as read again has something else there.
    struct Example
    {
        Example(const QString &name = {}, const QString &path = {})
            : name(name)
            , path(path)
        {
        }
        bool operator==(const Example &) const = default;

        QString name;
        QString path;
    };

    // From the listing links each example names (two refine the rule; links an exclusion names
    // are left out): the link rule, the next-page rule when the page has a link that says so,
    // and the address pattern of results pages like this one. A link is named by its address
    // (as written or resolved), else by its text, exact or contained.
    static Result deriveResults(const QByteArray &page, const QString &url,
                                const QList<Example> &examples,
                                const QList<Example> &exclusions = {});
    static Result deriveResults(const QByteArray &page, const QString &url,
                                const QStringList &examples, const QStringList &exclusions = {});
    // The next-page rule from the link next names.
    static Result deriveNext(const QByteArray &page, const QString &url, const Example &next);
    enum class Photos { FindThem, None };
    // From the title and one photo (found by itself when it has no name, unless the listing has
    // none): the title rule, the photo rule of the photo's gallery (the links' href when photos
    // link to larger images, else the images' src) and the address pattern of listing pages.
    static Result deriveListing(const QByteArray &page, const QString &url, const Example &title,
                                const Example &photo = {}, Photos photos = Photos::FindThem);

    // What one derivation may take in all, 4 s unless set: past it, the derivation says the
    // page is too irregular to learn from.
    static std::chrono::milliseconds timeBudget();
    static void setTimeBudget(std::chrono::milliseconds budget);

    enum class PageKind { Results, Listing };
    // ^https?://host(:port)/section/, regex-escaped: for results pages the section that later
    // pages of the same search stay in, for listing pages the section every listing of it is in,
    // never the listing's own number or name. alsoUrl, a later page of the same search, is
    // covered too.
    static QString addressPattern(const QString &url, PageKind kind, const QString &alsoUrl = {});
};
