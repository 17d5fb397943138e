#include "saved/zestobookmarktablecell.h"

#include <QHBoxLayout>
#include <QIcon>
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
    // Drawn by the style sheet below, hover included.
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_Hover);
    setStyleSheet(QStringLiteral(
        "#bookmarkCell { background: transparent; border-radius: 8px; }"
        "#bookmarkCell:hover { background: rgba(255, 255, 255, 0.85); }"
        "#bookmarkCell[selected=\"true\"] { background: rgba(79, 138, 60, 0.14); }"
        "#bookmarkTitle { font-size: 15px; color: #2b2b2b; }"
        "QPushButton { font-size: 13px; border-radius: 6px; padding: 5px 14px; }"
        "#bookmarkZesto { color: white; background: #4f8a3c; border: 1px solid #3f7030;"
        "  font-weight: bold; }"
        "#bookmarkZesto:hover { background: #5a9a45; }"
        "#bookmarkZesto:pressed { background: #3f7030; }"
        "#bookmarkDelete { color: #b03a2e; background: transparent;"
        "  border: 1px solid rgba(176, 58, 46, 0.35); }"
        "#bookmarkDelete:hover { background: rgba(176, 58, 46, 0.08); }"
        "#bookmarkDelete:pressed { background: rgba(176, 58, 46, 0.18); }"));

    titleLabel->setObjectName(QStringLiteral("bookmarkTitle"));
    titleLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    openButton->setObjectName(QStringLiteral("bookmarkZesto"));
    openButton->setToolTip(tr("Open this page as a grid of listings"));
    openButton->setCursor(Qt::PointingHandCursor);
    removeButton->setObjectName(QStringLiteral("bookmarkDelete"));
    removeButton->setToolTip(tr("Delete this bookmark"));
    removeButton->setCursor(Qt::PointingHandCursor);
    openButton->setFocusPolicy(Qt::NoFocus);
    removeButton->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 10, 6);
    layout->setSpacing(8);
    layout->addWidget(titleLabel, 1);
    layout->addWidget(openButton);
    layout->addWidget(removeButton);
}

void ZestoBookmarkTableCell::setSelected(bool isSelected)
{
    if (selected == isSelected)
        return;
    selected = isSelected;
    setProperty("selected", isSelected);
    style()->unpolish(this);
    style()->polish(this);
    update();
}
