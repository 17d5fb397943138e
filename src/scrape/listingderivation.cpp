#include "scrape/rulederivation.h"

#include "query/tfhpple.h"
#include "query/xpathliteral.h"
#include "scrape/derivationevaluator.h"
#include "scrape/derivationmarkup.h"
#include "scrape/listingpage.h"
#include "scrape/nsurlutils.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

using namespace DerivationMarkup;

namespace {

bool looksLikePhotoLink(const QString &href)
{
    static const QRegularExpression photo(
        QStringLiteral("\\.(jpe?g|png|gif|webp)(\\?|#|$)|/images?/"),
        QRegularExpression::CaseInsensitiveOption);
    return photo.match(href).hasMatch();
}

// Images that dress the page rather than show the listing: logos, icons, spacers, and whatever
// sits in the page's header, navigation or footer.
bool isDecoration(xmlNode *image)
{
    static const QRegularExpression decorative(
        QStringLiteral("logo|icon|sprite|banner|spacer|pixel|badge|avatar"),
        QRegularExpression::CaseInsensitiveOption);
    for (const char *attribute : { "src", "class", "id", "alt" }) {
        if (decorative.match(attributeOf(image, attribute)).hasMatch())
            return true;
    }
    for (const char *attribute : { "width", "height" }) {
        bool ok = false;
        const int size = attributeOf(image, attribute).toInt(&ok);
        if (ok && size < 48)
            return true;
    }
    for (xmlNode *up : ancestorsOf(image)) {
        const QString tag = tagOf(up);
        if (tag == u"header" || tag == u"nav" || tag == u"footer"
            || decorative.match(attributeOf(up, "class")).hasMatch()
            || decorative.match(attributeOf(up, "id")).hasMatch())
            return true;
    }
    return false;
}

// The lowest element above node that says what it is (an id or a class token) and holds at
// least `least` of what query selects inside it.
xmlNode *galleryAround(DerivationEvaluator &evaluate, xmlNode *node, const QString &query,
                       int least)
{
    xmlNode *fallback = nullptr;
    int level = 0;
    for (xmlNode *up : ancestorsOf(node)) {
        if (++level > 6 || tagOf(up) == u"body")
            break;
        if (attributeOf(up, "id").isEmpty() && classTokens(up).isEmpty())
            continue;
        if (!fallback)
            fallback = up;
        if (evaluate.nodes(query, up).size() >= least)
            return up;
    }
    return fallback;
}

// The element that holds node, as a query: by its tag and what says what it is, or its own
// parent's when it says nothing.
QString frameQuery(xmlNode *node)
{
    xmlNode *frame = node->parent;
    for (int up = 0; isElement(frame) && up < 3; frame = frame->parent, ++up) {
        const QString test = identityTests(frame, true).value(0);
        if (!test.isEmpty())
            return QStringLiteral("//") + step(tagOf(frame), test);
    }
    return isElement(node->parent)
        ? QStringLiteral("//") + XPathLiteral::element(tagOf(node->parent))
        : QString();
}

} // namespace

RuleDerivation::Result RuleDerivation::deriveListing(const QByteArray &page, const QString &url,
                                                     const Example &title, const Example &photo,
                                                     Photos photos)
{
    return DerivationEvaluator::onPage(
        page, [&](const TFHpple &parsed, DerivationEvaluator &evaluate) {
            Result result;
            ZestoScrapeSetting rules;
            rules.setRegex(addressPattern(url, PageKind::Listing));

            // The title: the smallest element whose text is the one clicked (or holds it).
            const QString wanted = simplified(title.name);
            // The element clicked when it holds the text; else, of the elements holding it, the one
            // whose text is closest to it, the first of equals.
            xmlNode *titleNode = pointedAt(evaluate, title, nullptr);
            if (titleNode) {
                const QList<xmlNode *> above = ancestorsOf(titleNode);
                const bool shown = tagOf(titleNode) != u"script" && tagOf(titleNode) != u"style"
                    && std::any_of(above.cbegin(), above.cend(),
                                   [](xmlNode *up) { return tagOf(up) == u"body"; });
                if (!shown || wanted.isEmpty()
                    || !textOf(titleNode).contains(wanted, Qt::CaseInsensitive))
                    titleNode = nullptr;
            }
            qsizetype closest = std::numeric_limits<qsizetype>::max();
            for (xmlNode *node : titleNode
                     ? QList<xmlNode *>()
                     : evaluate.nodes(QStringLiteral(
                         "//body//*[not(self::script or self::style or ancestor::script)]"))) {
                const QString text = textOf(node);
                if (text.isEmpty() || !text.contains(wanted, Qt::CaseInsensitive))
                    continue;
                const qsizetype extra = text.size() - wanted.size();
                // Of equals, the innermost: the heading rather than the box around it.
                if (extra < closest
                    || (extra == closest && ancestorsOf(node).contains(titleNode))) {
                    closest = extra;
                    titleNode = node;
                }
            }
            if (wanted.isEmpty() || !titleNode) {
                result.error
                    = tr("No text on the page says “%1”: click the listing's title.").arg(wanted);
                return result;
            }
            // The element itself, then inside each ancestor that says what it is, then the page's
            // first element of its kind (the first heading).
            const QString own = QStringLiteral("/text()[normalize-space()]");
            const QString tag = XPathLiteral::element(tagOf(titleNode));
            QStringList titleQueries{ elementQuery(titleNode) + own };
            // A heading whose title sits in a child beside other parts (the price): that child.
            QList<xmlNode *> parts
                = evaluate.nodes(QStringLiteral(".//*[@id or @class]"), titleNode);
            std::stable_sort(parts.begin(), parts.end(), [](xmlNode *a, xmlNode *b) {
                return textOf(a).size() > textOf(b).size();
            });
            for (xmlNode *part : std::as_const(parts)) {
                if (textOf(part).size() * 2 >= wanted.size())
                    titleQueries << elementQuery(part) + own;
            }
            int level = 0;
            for (xmlNode *up : ancestorsOf(titleNode)) {
                if (++level > 6 || tagOf(up) == u"body")
                    break;
                if (!attributeOf(up, "id").isEmpty() || !classTokens(up).isEmpty())
                    titleQueries << elementQuery(up) + QStringLiteral("//") + tag + own;
            }
            titleQueries << QStringLiteral("//%1[not(preceding::%1)]").arg(tag) + own;
            // Text spread over the element's children.
            level = 0;
            for (xmlNode *node = titleNode; isElement(node) && ++level <= 4; node = node->parent)
                titleQueries << elementQuery(node) + QStringLiteral("//text()[normalize-space()]");
            for (const QString &query : std::as_const(titleQueries)) {
                rules.setTitle(query);
                rules.setTitle_extract(QStringLiteral("@content"));
                const QString title = ListingPage::scrape(parsed, url, rules).title.simplified();
                // The whole title, or most of the text given (a title split over elements), or the
                // text given is part of it.
                const bool whole = wanted.contains(title, Qt::CaseInsensitive)
                    && title.size() * 2 >= std::min<qsizetype>(wanted.size(), 40);
                if (!title.isEmpty() && (whole || title.contains(wanted, Qt::CaseInsensitive))) {
                    result.values = { title };
                    break;
                }
                rules.setTitle({});
            }
            if (rules.title().isNull()) {
                result.error = tr("The title cannot be told from the rest of the page.");
                return result;
            }

            // The photos: the gallery of the one clicked, or the page's largest group of photos.
            xmlNode *image = nullptr;
            const QString photoSrc = photo.name;
            if (!photoSrc.isEmpty()) {
                const auto isClicked = [&](xmlNode *node) {
                    const QString src = attributeOf(node, "src");
                    return src == photoSrc
                        || NSUrlUtils::fixUrl(src, url) == NSUrlUtils::fixUrl(photoSrc, url);
                };
                if (xmlNode *pointed = pointedAt(evaluate, photo, "img");
                    pointed && isClicked(pointed))
                    image = pointed;
                for (xmlNode *node :
                     image ? QList<xmlNode *>() : evaluate.nodes(QStringLiteral("//img[@src]"))) {
                    if (isClicked(node)) {
                        image = node;
                        break;
                    }
                }
                if (!image) {
                    result.error = tr("No photo of the page has that address.");
                    return result;
                }
            } else if (photos == Photos::FindThem) {
                int most = 0;
                for (xmlNode *node : evaluate.nodes(QStringLiteral("//body//img[@src]"))) {
                    if (!looksLikePhotoLink(attributeOf(node, "src")) || isDecoration(node))
                        continue;
                    xmlNode *gallery
                        = galleryAround(evaluate, node, QStringLiteral(".//img[@src]"), 2);
                    const int count = gallery
                        ? int(evaluate.nodes(QStringLiteral(".//img[@src]"), gallery).size())
                        : 1;
                    if (count > most) {
                        most = count;
                        image = node;
                    }
                }
            }
            if (image) {
                // A link to the larger photo, on the image or just above it.
                xmlNode *link = nullptr;
                int up = 0;
                for (xmlNode *node = image->parent; isElement(node) && !link && up < 2;
                     node = node->parent, ++up) {
                    if (tagOf(node) == u"a")
                        link = node;
                }
                const QString linksInside = QStringLiteral(".//a[@href][.//img]");
                bool linked = link && looksLikePhotoLink(attributeOf(link, "href"));
                xmlNode *gallery
                    = galleryAround(evaluate, linked ? link : image,
                                    linked ? linksInside : QStringLiteral(".//img[@src]"), 2);
                // A gallery whose thumbnails link to the larger photos gives them by those links,
                // the large photo on show among them.
                if (!linked && gallery) {
                    const QList<xmlNode *> links = evaluate.nodes(linksInside, gallery);
                    linked = std::count_if(links.cbegin(), links.cend(),
                                           [](xmlNode *l) {
                                               return looksLikePhotoLink(attributeOf(l, "href"));
                                           })
                        >= 2;
                }
                // Without a gallery that says what it is, the photo's own frame: never every image
                // of the page.
                const QString base
                    = gallery ? elementQuery(gallery) : frameQuery(linked ? link : image);
                // The lead photo the page names for sharing (og:image), shown on its own beside a
                // gallery of thumbnails, is one of the listing's photos too.
                QStringList sources;
                if (!linked)
                    sources << base + QStringLiteral("//img[@src]");
                QStringList shared;
                for (xmlNode *meta : evaluate.nodes(QStringLiteral(
                         "//meta[@property='og:image' or @name='og:image' or @name='twitter:image']"
                         "[@content]")))
                    shared << NSUrlUtils::fixUrl(attributeOf(meta, "content"), url);
                for (xmlNode *node : evaluate.nodes(QStringLiteral("//body//img[@src]"))) {
                    if ((gallery && ancestorsOf(node).contains(gallery))
                        || !shared.contains(resolved(node, "src", url)))
                        continue;
                    xmlNode *frame
                        = galleryAround(evaluate, node, QStringLiteral(".//img[@src]"), 1);
                    if (!frame || frame == gallery
                        || evaluate.nodes(QStringLiteral(".//img[@src]"), frame).size() != 1)
                        continue;
                    const QString lead = elementQuery(frame) + QStringLiteral("//img[@src]");
                    if (!sources.contains(lead))
                        sources.prepend(lead);
                }
                if (linked) {
                    rules.setInnerImgsWithHref(base + QStringLiteral("//a[@href][.//img]"));
                    rules.setInnerImgsWithHref_extract(QStringLiteral("href"));
                }
                if (!sources.isEmpty()) {
                    rules.setInnerImgsWithSrc(sources.join(QStringLiteral(" | ")));
                    rules.setInnerImgsWithSrc_extract(QStringLiteral("src"));
                }
            }
            const ListingPage scraped = ListingPage::scrape(parsed, url, rules);
            result.count = int(scraped.photos.size());
            if (!photoSrc.isEmpty() && result.count == 0) {
                result.error = tr("The photo rule found no photos.");
                return result;
            }
            result.rules = rules;
            return result;
        });
}
