#pragma once

#include <QString>

// Whether a rules document may be adopted. It must be a JSON object whose version, when it has
// one, is a finite number from 0 up to (not including) a billion: a version of infinity would
// stand above every later document for good. A document from the network or an import must
// also give every rule set an address pattern that names its site's host: a pattern that
// matches every site would let one rule set read, and fetch from, any page the user opens.
class RulesDocumentCheck
{
public:
    enum class Origin {
        Remote, // the downloaded document
        Import, // a document the user imports into their own rule sets
        CommandLine, // the scrape tool's document for one run: the user's own patterns stand
    };
    static constexpr double versionLimit = 1e9;

    struct Verdict
    {
        // Why the document is refused; null when it is accepted.
        QString refusal;
        double version = 0;
        bool accepted() const { return refusal.isNull(); }
    };

    static Verdict check(const QString &document, Origin origin);

    // Whether pattern names a host: it matches no address of an unrelated site, and the part of
    // it that stands for the host holds a host name (not only wildcards). A pattern that does
    // not compile matches nothing and passes.
    static bool namesHost(const QString &pattern);
};
