#include "screens/tilefavorites.h"

#include "grid/displayparsedlink.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"
#include "screens/removefavoritealert.h"
#include "ui/viewtag.h"

TileFavorites::TileFavorites(QWidget *host, AlertViewDelegate *delegate)
    : m_host(host)
    , m_delegate(delegate)
{
}

void TileFavorites::toggle(QAbstractButton *button, const std::shared_ptr<ParsedLink> &parsedLink)
{
    if (!button || !parsedLink)
        return;
    button->setEnabled(false);
    if (viewTag(button) != 0) {
        m_toRemoveParsedLink = parsedLink;
        m_removeButtonSender = button;
        RemoveFavoriteAlert::show(removeTag, m_delegate, m_host);
        return;
    }
    ZestoFavorite favorite;
    favorite.setUrl(parsedLink->url());
    favorite.setTitle(parsedLink->title());
    favorite.addToFavorites();
    DisplayParsedLink::showFavoriteState(button, true);
    button->setEnabled(true);
}

void TileFavorites::answerRemoval(int buttonIndex)
{
    if (buttonIndex == 0) {
        if (m_toRemoveParsedLink)
            ZestoFavorite::removeFavoriteWithUrl(m_toRemoveParsedLink->url());
        if (m_removeButtonSender)
            DisplayParsedLink::showFavoriteState(m_removeButtonSender, false);
    }
    if (m_removeButtonSender)
        m_removeButtonSender->setEnabled(true);
    m_toRemoveParsedLink.reset();
}
