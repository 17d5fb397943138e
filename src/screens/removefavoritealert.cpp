#include "screens/removefavoritealert.h"

#include "ui/alertview.h"

#include <QCoreApplication>

namespace RemoveFavoriteAlert {

void show(int tag, AlertViewDelegate *delegate, QWidget *parent)
{
    AlertView::confirmation(
        QCoreApplication::translate("RemoveFavoriteAlert", "Remove Favorite?"),
        QCoreApplication::translate(
            "RemoveFavoriteAlert",
            "Are you sure you would like to remove this listing from your favorites?"),
        tag, delegate, parent)
        ->show();
}

} // namespace RemoveFavoriteAlert
