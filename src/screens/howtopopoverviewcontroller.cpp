#include "screens/howtopopoverviewcontroller.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "screens/homeviewcontroller.h"
#include "screens/listorostoryboard.h"
#include "ui/popover.h"
#include "widgets/panelview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcHowto, "listoro.screens.howto")

namespace {

struct Step
{
    const char *heading;
    const char *text;
};

// What the how-to explains, one step a row.
constexpr Step steps[] = {
    { QT_TRANSLATE_NOOP("HowtoPopOverViewController", "Browse."),
      QT_TRANSLATE_NOOP("HowtoPopOverViewController",
                        "Pick a site in the bar above and search it as you always do.") },
    { QT_TRANSLATE_NOOP("HowtoPopOverViewController", "Zesto."),
      QT_TRANSLATE_NOOP("HowtoPopOverViewController",
                        "On a page of search results, press Zesto: the listings open as a grid "
                        "of photos, and keep filling in while you look.") },
    { QT_TRANSLATE_NOOP("HowtoPopOverViewController", "Favorites."),
      QT_TRANSLATE_NOOP("HowtoPopOverViewController",
                        "Keep a listing with its green + button. Your favorites open as a grid "
                        "of their own from this screen.") },
    { QT_TRANSLATE_NOOP("HowtoPopOverViewController", "Bookmarks."),
      QT_TRANSLATE_NOOP("HowtoPopOverViewController",
                        "Save a results page when Listoro offers it, and open it here straight "
                        "as a grid, with the newest listings.") },
    { QT_TRANSLATE_NOOP("HowtoPopOverViewController", "Details."),
      QT_TRANSLATE_NOOP("HowtoPopOverViewController",
                        "Click a listing to see its own page, and send it to a friend by "
                        "e-mail.") },
};

QLabel *numberBadge(int number, QWidget *parent)
{
    auto *label = new QLabel(QString::number(number), parent);
    label->setObjectName(QStringLiteral("howtoStepNumber"));
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(26, 26);
    return label;
}

} // namespace

HowtoPopOverViewController::HowtoPopOverViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("howto"));

    auto *title = new QLabel(tr("Welcome to Listoro"), this);
    title->setObjectName(QStringLiteral("howtoTitle"));
    auto *subtitle = new QLabel(tr("Classified ads made pleasant: every listing of a results "
                                   "page as a tile with its photos."),
                                this);
    subtitle->setObjectName(QStringLiteral("howtoSubtitle"));
    subtitle->setWordWrap(true);

    auto *stepGrid = new QGridLayout;
    stepGrid->setHorizontalSpacing(12);
    stepGrid->setVerticalSpacing(12);
    stepGrid->setColumnStretch(1, 1);
    int row = 0;
    for (const Step &step : steps) {
        auto *text
            = new QLabel(QStringLiteral("<b>%1</b> %2")
                             .arg(tr(step.heading).toHtmlEscaped(), tr(step.text).toHtmlEscaped()),
                         this);
        text->setObjectName(QStringLiteral("howtoStep"));
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        stepGrid->addWidget(numberBadge(row + 1, this), row, 0, Qt::AlignTop);
        stepGrid->addWidget(text, row, 1);
        ++row;
    }

    m_btnRemindLater = new QPushButton(tr("Remind me later"), this);
    m_btnRemindLater->setObjectName(QStringLiteral("btnRemindLater"));
    m_btnRemindLater->setCursor(Qt::PointingHandCursor);
    m_btnGotIt = new QPushButton(tr("Got it"), this);
    m_btnGotIt->setObjectName(QStringLiteral("btnGotIt"));
    m_btnGotIt->setCursor(Qt::PointingHandCursor);
    m_btnGotIt->setDefault(true);
    connect(m_btnGotIt, &QPushButton::clicked, this, &HowtoPopOverViewController::gotitClicked);
    connect(m_btnRemindLater, &QPushButton::clicked, this,
            &HowtoPopOverViewController::remindLaterClicked);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(m_btnRemindLater);
    buttons->addWidget(m_btnGotIt);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 22, 26, 20);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addSpacing(4);
    layout->addWidget(subtitle);
    layout->addSpacing(18);
    layout->addLayout(stepGrid);
    layout->addStretch(1);
    layout->addSpacing(16);
    layout->addLayout(buttons);
}

HowtoPopOverViewController::~HowtoPopOverViewController() = default;

void HowtoPopOverViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    QPalette paper = palette();
    paper.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/lightpaperfibers.png"))));
    setPalette(paper);
    setAutoFillBackground(true);
}

QSize HowtoPopOverViewController::sizeHint() const
{
    return ListoroStoryboard::howtoContentSize;
}

void HowtoPopOverViewController::gotitClicked()
{
    if (m_popover)
        m_popover->dismissPopoverAnimated(true);
    if (m_homeViewController)
        m_homeViewController->coverView()->hide();
    UserDefaults::standard().setBool(true, DefaultsKeys::howtoPopoverOkayed);
    qCDebug(lcHowto) << "how-to confirmed";
}

void HowtoPopOverViewController::remindLaterClicked()
{
    if (m_popover)
        m_popover->dismissPopoverAnimated(true);
}
