#include "screens/gridchoices.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/zestobookmark.h"

#include <QHash>

namespace {

QHash<QString, GridChoice> &runChoices()
{
    static QHash<QString, GridChoice> choices;
    return choices;
}

QVariantMap storedChoices()
{
    return UserDefaults::standard().objectForKey(DefaultsKeys::gridChoices).toMap();
}

} // namespace

namespace GridChoices {

GridChoice forPage(const QString &address)
{
    if (const auto run = runChoices().constFind(address); run != runChoices().cend())
        return *run;
    return GridChoice::fromMap(storedChoices().value(address).toMap());
}

void keep(const QString &address, const GridChoice &choice, bool stored)
{
    runChoices().insert(address, choice);
    if (!stored)
        return;
    QVariantMap choices = ZestoBookmark::onlyBookmarked(storedChoices(), address);
    if (choice == GridChoice())
        choices.remove(address);
    else
        choices.insert(address, choice.toMap());
    UserDefaults::standard().setObject(choices, DefaultsKeys::gridChoices);
}

} // namespace GridChoices
