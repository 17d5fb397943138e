#include "saved/zestobookmarktablecell.h"

#include "saved/watchedbookmarks.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

ZestoBookmarkTableCell::ZestoBookmarkTableCell(QWidget *parent)
    : QWidget(parent)
    , titleLabel(new QLabel(this))
    , noteLabel(new QLabel(this))
    , watchToggle(new QPushButton(this))
    , openButton(new QPushButton(tr("Zesto"), this))
    , removeButton(new QPushButton(tr("Delete"), this))
{
    setObjectName(QStringLiteral("bookmarkCell"));
    // Drawn by the application's style sheet, hover included.
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_Hover);

    titleLabel->setObjectName(QStringLiteral("bookmarkTitle"));
    // A bookmark's name and address come from the user and from pages: shown as they are.
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    openButton->setObjectName(QStringLiteral("bookmarkZesto"));
    openButton->setToolTip(tr("Open this page as a grid of listings"));
    openButton->setCursor(Qt::PointingHandCursor);
    removeButton->setObjectName(QStringLiteral("bookmarkDelete"));
    removeButton->setToolTip(tr("Delete this bookmark"));
    removeButton->setCursor(Qt::PointingHandCursor);
    titleLabel->installEventFilter(this);
    noteLabel->setObjectName(QStringLiteral("bookmarkNote"));
    noteLabel->setTextFormat(Qt::PlainText);
    noteLabel->hide();
    watchToggle->setObjectName(QStringLiteral("bookmarkWatch"));
    watchToggle->setCheckable(true);
    watchToggle->setCursor(Qt::PointingHandCursor);
    watchToggle->setFocusPolicy(Qt::NoFocus);
    setWatched(false);
    openButton->setFocusPolicy(Qt::NoFocus);
    removeButton->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 10, 6);
    layout->setSpacing(8);
    layout->addWidget(titleLabel, 1);
    layout->addWidget(noteLabel);
    layout->addWidget(watchToggle);
    layout->addWidget(openButton);
    layout->addWidget(removeButton);
}

void ZestoBookmarkTableCell::setTitleText(const QString &text)
{
    fullTitle = text;
    titleLabel->setAccessibleName(text);
    elideTitle();
}

void ZestoBookmarkTableCell::setWatched(bool watched)
{
    showWatchState(watchToggle, watched);
}

void ZestoBookmarkTableCell::showWatchState(QPushButton *toggle, bool watched)
{
    const QSignalBlocker quiet(toggle);
    toggle->setChecked(watched);
    toggle->setText(watched ? tr("Watching") : tr("Watch"));
    toggle->setToolTip(watched ? tr("Stop watching this search for new listings")
                               : tr("Check this search every %1 minutes while Listoro runs, "
                                    "and tell me of new listings")
                                     .arg(WatchedBookmarks::defaultMinutes));
    toggle->setAccessibleName(watched ? tr("Watching for new listings")
                                      : tr("Watch for new listings"));
}

void ZestoBookmarkTableCell::setNote(const QString &text)
{
    noteLabel->setText(text);
    noteLabel->setVisible(!text.isEmpty());
}

void ZestoBookmarkTableCell::elideTitle()
{
    const int room = titleLabel->contentsRect().width();
    titleLabel->setText(room > 0 ? titleLabel->fontMetrics().elidedText(fullTitle.simplified(),
                                                                        Qt::ElideRight, room)
                                 : fullTitle.simplified());
}

bool ZestoBookmarkTableCell::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == titleLabel && event->type() == QEvent::Resize)
        elideTitle();
    return QWidget::eventFilter(watched, event);
}

void ZestoBookmarkTableCell::setSelected(bool isSelected)
{
    if (selected == isSelected)
        return;
    selected = isSelected;
    setStyleProperty("selected", isSelected);
}

void ZestoBookmarkTableCell::setMarked(bool isMarked)
{
    if (marked == isMarked)
        return;
    marked = isMarked;
    setStyleProperty("marked", isMarked);
}

void ZestoBookmarkTableCell::setStyleProperty(const char *name, bool value)
{
    setProperty(name, value);
    style()->unpolish(this);
    style()->polish(this);
    update();
}
