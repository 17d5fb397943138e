#include "saved/zestobookmarktablecell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

ZestoBookmarkTableCell::ZestoBookmarkTableCell(QWidget *parent)
    : QWidget(parent)
    , titleLabel(new QLabel(this))
    , openButton(new QPushButton(tr("Zesto"), this))
    , removeButton(new QPushButton(tr("Delete"), this))
{
    setObjectName(QStringLiteral("bookmarkCell"));
    titleLabel->setObjectName(QStringLiteral("bookmarkTitle"));
    titleLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    openButton->setObjectName(QStringLiteral("bookmarkZesto"));
    openButton->setToolTip(tr("Open this page as a grid of listings"));
    removeButton->setObjectName(QStringLiteral("bookmarkDelete"));
    removeButton->setToolTip(tr("Delete this bookmark"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 10, 6);
    layout->setSpacing(8);
    layout->addWidget(titleLabel, 1);
    layout->addWidget(openButton);
    layout->addWidget(removeButton);
}

void ZestoBookmarkTableCell::setSelected(bool isSelected)
{
    selected = isSelected;
    setProperty("selected", isSelected);
    style()->unpolish(this);
    style()->polish(this);
}
