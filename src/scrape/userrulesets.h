#pragma once

#include "scrape/zestoscrapesetting.h"

#include <QList>
#include <QString>

// The rule sets the user made (taught in the browser, imported or edited), kept under a store
// key of their own: they are tried before the shipped and downloaded rule sets and no refresh
// ever replaces them. Each has a name of its own; saving one under a name already used replaces
// that one.
class UserRuleSets
{
public:
    static QList<ZestoScrapeSetting> all();
    // Checks the rule set first: a broken one is not stored, and the message says why. written
    // (optional) tells whether it reached the settings file, not only this run's memory.
    static QString save(const ZestoScrapeSetting &rules, bool *written = nullptr);
    // False when the settings file could not be written.
    static bool saveAll(const QList<ZestoScrapeSetting> &list);
    static bool remove(const QString &name);
    static bool rename(const QString &name, const QString &newName);

    // Why a rule set cannot be used: no name, a pattern that does not compile, no link, title or
    // photo rule, a query that does not compile or gives no nodes, an extraction that is neither
    // "@content" nor an attribute name. Null when it can.
    static QString problemWith(const ZestoScrapeSetting &rules);

    // The stored sets as a settings document, the shipped document's format.
    static QString exportDocument();
    // What to do with a rule set of the document whose name the user already has.
    enum class Clash {
        Ask, // store nothing, and name the clashes
        Replace,
        Keep, // keep the user's, leave the document's out
    };
    struct Import
    {
        int added = 0;
        // Null when the document was taken.
        QString error;
        // With Clash::Ask: the names the user already has; nothing was stored.
        QStringList clashes;
        // False when the settings file could not be written.
        bool written = true;
    };
    // Adds the rule sets of a settings document; nothing is stored when the document is refused
    // (RulesDocumentCheck) or any of its rule sets is broken.
    static Import importDocument(const QString &document, Clash clash = Clash::Ask);
};
