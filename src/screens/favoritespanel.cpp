#include "screens/favoritespanel.h"

#include "ui/theme.h"
#include "widgets/custombadge.h"
#include "widgets/panelstyling.h"
#include "widgets/panelview.h"
#include "widgets/viewalpha.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr double dimmedAlpha = 0.4;
constexpr double dimmedBackground = 0.2;

QString tr(const char *text)
{
    return QCoreApplication::translate("FavoritesPanel", text);
}

} // namespace

FavoritesPanel::FavoritesPanel(QWidget *parent)
    : m_panel(new PanelView(parent))
    , m_badge(CustomBadge::customBadgeWithString(QStringLiteral("0"), Qt::white,
                                                 Theme::colour(Theme::Colour::BrandGreen), true,
                                                 Qt::white, 1.8f, false, m_panel))
    , m_count(new QLabel(m_panel))
    , m_caption(new QLabel(m_panel))
    , m_chevron(new QLabel(QStringLiteral("\u203A"), m_panel))
{
    m_panel->setObjectName(QStringLiteral("vwFavoritesView"));
    m_badge->setObjectName(QStringLiteral("favoritesBadge"));
    m_count->setObjectName(QStringLiteral("lblFavoritesNumber"));
    m_caption->setObjectName(QStringLiteral("txtFavorites"));
    m_chevron->setObjectName(QStringLiteral("favoritesChevron"));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addStretch(1);
    texts->addWidget(m_count);
    texts->addWidget(m_caption);
    texts->addStretch(1);

    auto *layout = new QHBoxLayout(m_panel);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setSpacing(18);
    layout->addWidget(m_badge, 0, Qt::AlignVCenter);
    layout->addLayout(texts, 1);
    layout->addWidget(m_chevron, 0, Qt::AlignVCenter);
}

void FavoritesPanel::showCount(int favorites, const QBrush &paper)
{
    PanelStyling::styleCard(m_panel);
    m_panel->stopWhitening();
    m_panel->setBackgroundBrush(paper);
    m_panel->setBackgroundOpacity(1.0);

    m_count->setText(tr("You have %1 favorite%2")
                         .arg(favorites)
                         .arg(favorites == 1 ? QString() : QStringLiteral("s")));
    m_caption->setText(favorites > 0 ? tr("Click to see them all as a grid of photos")
                                     : tr("Keep a listing with the green + button on its tile"));
    m_badge->autoBadgeSizeWithString(QString::number(favorites));
    m_badge->setFixedSize(m_badge->size());
    m_chevron->setVisible(favorites > 0);
    if (favorites > 0) {
        setViewAlpha(m_panel, 1.0);
        m_panel->setUserInteractionEnabled(true);
        setViewAlpha(m_count, 1.0);
        setViewAlpha(m_caption, 1.0);
        setViewAlpha(m_badge, 1.0);
    } else {
        // The panel's own alpha and clicks stay as they were.
        m_panel->setBackgroundOpacity(dimmedBackground);
        setViewAlpha(m_count, dimmedAlpha);
        setViewAlpha(m_caption, dimmedAlpha);
        setViewAlpha(m_badge, dimmedAlpha);
    }
    m_panel->setHighlightsOnHover(favorites > 0);
    m_panel->setCursor(favorites > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_panel->setToolTip(favorites > 0 ? tr("Open your favorites as a grid of photos") : QString());
    m_panel->setAccessibleName(m_count->text());
    m_panel->setAccessibleDescription(m_caption->text());
}
