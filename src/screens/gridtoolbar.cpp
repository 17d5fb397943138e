#include "screens/gridtoolbar.h"

#include "saved/zestobookmarktablecell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QPushButton *barButton(const QString &text, const QString &tip, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setToolTip(tip);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

GridToolbar::GridToolbar(QWidget *parent)
    : QWidget(parent)
    , m_btnReload(barButton(tr("Reload tiles"),
                            tr("Draw the tiles again and fetch the photos that failed (F5)"),
                            "btnReload", this))
    , m_btnNext(barButton(tr("Next page  \u203A"), tr("The next page of results, as a grid"),
                          "btnNext", this))
    , m_btnExport(barButton(tr("Export…"), tr("Save the listings shown to a CSV or JSON file"),
                            "btnExport", this))
    , m_btnWatch(barButton(QString(), QString(), "btnWatch", this))
    , m_lastPageNote(new QLabel(tr("Last page: there is no next page"), this))
{
    setObjectName(QStringLiteral("toolbar"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(barHeight);
    m_lastPageNote->setObjectName(QStringLiteral("lastPageNote"));
    m_lastPageNote->hide();
    auto *bar = new QHBoxLayout(this);
    bar->setContentsMargins(12, 6, 12, 6);
    bar->addWidget(m_btnReload);
    bar->addWidget(m_btnExport);
    bar->addWidget(m_btnWatch);
    bar->addStretch(1);
    bar->addWidget(m_lastPageNote);
    bar->addWidget(m_btnNext);
    connect(m_btnReload, &QPushButton::clicked, this, &GridToolbar::reloadRequested);
    connect(m_btnNext, &QPushButton::clicked, this, &GridToolbar::nextRequested);
    connect(m_btnExport, &QPushButton::clicked, this, &GridToolbar::exportRequested);
    m_btnWatch->setCheckable(true);
    m_btnWatch->hide();
    connect(m_btnWatch, &QPushButton::toggled, this, [this](bool watched) {
        showWatch(true, watched);
        emit watchToggled(watched);
    });
}

void GridToolbar::showWatch(bool offered, bool watched)
{
    m_btnWatch->setVisible(offered);
    ZestoBookmarkTableCell::showWatchState(m_btnWatch, watched);
}

void GridToolbar::showPaging(bool hasNext, bool paged)
{
    m_btnNext->setVisible(hasNext);
    m_lastPageNote->setVisible(!hasNext && paged);
}
