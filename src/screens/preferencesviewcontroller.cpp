#include "screens/preferencesviewcontroller.h"

#include "platform/cachelimit.h"
#include "platform/defaultskeys.h"
#include "platform/mainqueue.h"
#include "platform/userdefaults.h"
#include "saved/seenlistings.h"
#include "scrape/cachetrim.h"
#include "ui/navigationitem.h"
#include "ui/theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// A limit as the field takes it back: a whole number of the largest unit that divides it.
QString limitText(qint64 bytes)
{
    const QList<std::pair<int, QString>> units{ { 30, QStringLiteral("GB") },
                                                { 20, QStringLiteral("MB") },
                                                { 10, QStringLiteral("KB") } };
    for (const auto &[shift, unit] : units) {
        if (bytes > 0 && bytes % (qint64(1) << shift) == 0)
            return QStringLiteral("%1 %2").arg(bytes >> shift).arg(unit);
    }
    return QStringLiteral("%1 B").arg(bytes);
}

// The limits offered; the field takes any other size written as 750 MB or 3G.
const QList<qint64> offeredLimits{ qint64(256) << 20, qint64(512) << 20, qint64(1) << 30,
                                   qint64(2) << 30,   qint64(5) << 30,   qint64(10) << 30 };

} // namespace

PreferencesViewController::PreferencesViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("preferences"));
}

PreferencesViewController::~PreferencesViewController() = default;

void PreferencesViewController::viewDidLoad()
{
    navigationItem()->setTitle(tr("Preferences"));
    setWindowTitle(tr("Preferences"));

    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("cacheSize"));
    m_size->setTextFormat(Qt::PlainText);
    m_limit = new QComboBox(this);
    m_limit->setObjectName(QStringLiteral("cacheLimit"));
    m_limit->setEditable(true);
    m_limit->setInsertPolicy(QComboBox::NoInsert);
    for (qint64 bytes : offeredLimits)
        m_limit->addItem(limitText(bytes), bytes);
    m_limit->setAccessibleName(tr("Cache size limit"));
    m_limit->setMinimumContentsLength(10);
    m_limit->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_limit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_clear = new QPushButton(tr("Clear cache"), this);
    m_clear->setObjectName(QStringLiteral("clearCache"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("preferencesStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);

    auto *note = new QLabel(tr("When the cache is full, the pages and photos used least recently "
                               "go first. Your favorites' pages and photos are always kept."),
                            this);
    note->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(tr("In use:"), m_size);
    form->addRow(tr("Keep it under:"), m_limit);
    auto *box = new QGroupBox(tr("Disk cache"), this);
    box->setMaximumWidth(720);
    auto *boxLayout = new QVBoxLayout(box);
    boxLayout->addLayout(form);
    boxLayout->addWidget(note);
    boxLayout->addWidget(m_clear, 0, Qt::AlignLeft);
    boxLayout->addWidget(m_status);

    auto *seenBox = new QGroupBox(tr("Seen listings"), this);
    seenBox->setMaximumWidth(720);
    m_seenCount = new QLabel(seenBox);
    m_seenCount->setObjectName(QStringLiteral("seenCount"));
    m_seenCount->setWordWrap(true);
    auto *forget = new QPushButton(tr("Forget seen listings"), seenBox);
    forget->setObjectName(QStringLiteral("forgetSeen"));
    auto *seenLayout = new QVBoxLayout(seenBox);
    seenLayout->addWidget(m_seenCount);
    seenLayout->addWidget(forget, 0, Qt::AlignLeft);
    connect(forget, &QPushButton::clicked, this, [this] {
        SeenListings::instance().forget();
        showSeenCount();
    });

    auto *watchBox = new QGroupBox(tr("Watched searches"), this);
    watchBox->setMaximumWidth(720);
    auto *quitOnClose = new QCheckBox(
        tr("Closing the window quits Listoro, even while searches are watched"), watchBox);
    quitOnClose->setObjectName(QStringLiteral("quitOnClose"));
    quitOnClose->setChecked(UserDefaults::standard().boolForKey(DefaultsKeys::quitOnClose));
    connect(quitOnClose, &QCheckBox::toggled, this,
            [](bool quits) { UserDefaults::standard().setBool(quits, DefaultsKeys::quitOnClose); });
    auto *watchNote = new QLabel(tr("Otherwise Listoro stays in the tray and goes on checking "
                                    "them; quit it from the tray's menu."),
                                 watchBox);
    watchNote->setWordWrap(true);
    auto *watchLayout = new QVBoxLayout(watchBox);
    watchLayout->addWidget(quitOnClose);
    watchLayout->addWidget(watchNote);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(box);
    layout->addWidget(seenBox);
    layout->addWidget(watchBox);
    layout->addStretch(1);

    connect(m_limit, &QComboBox::activated, this,
            [this](int index) { applyLimit(m_limit->itemText(index)); });
    connect(m_limit->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { applyLimit(m_limit->currentText()); });
    connect(m_clear, &QPushButton::clicked, this, &PreferencesViewController::clearCache);
}

void PreferencesViewController::showSeenCount()
{
    const qsizetype seen = SeenListings::instance().count();
    m_seenCount->setText((seen == 1 ? tr("1 listing opened is dimmed in the grids.")
                                    : tr("%1 listings opened are dimmed in the grids.").arg(seen))
                         + u' ' + tr("Forgetting them shows every listing as new again."));
}

void PreferencesViewController::viewWillAppear(bool)
{
    showSeenCount();
    showStoredLimit();
    m_size->setText(tr("Measuring…"));
    trimThenMeasure(-1, {});
}

void PreferencesViewController::showStoredLimit()
{
    const qint64 stored = CacheLimit::stored();
    const int index = m_limit->findData(stored);
    if (index >= 0)
        m_limit->setCurrentIndex(index);
    else
        m_limit->setEditText(limitText(stored));
}

bool PreferencesViewController::applyLimit(const QString &text)
{
    const std::optional<qint64> bytes = CacheLimit::parse(text);
    if (!bytes) {
        showStatus(tr("“%1” is not a size: write it as 500 MB or 2 GB.").arg(text), true);
        showStoredLimit();
        return false;
    }
    if (*bytes < minimumCacheLimit) {
        showStatus(tr("The cache needs at least %1.").arg(limitText(minimumCacheLimit)), true);
        showStoredLimit();
        return false;
    }
    CacheLimit::store(*bytes);
    showStoredLimit();
    showStatus(tr("The cache is kept under %1.").arg(limitText(*bytes)));
    trimThenMeasure(*bytes, [this, bytes](qint64 removed) {
        if (removed > 0) {
            showStatus(tr("The cache is kept under %1: %2 of older pages and photos were removed.")
                           .arg(limitText(*bytes), sizeText(removed)));
        }
    });
    return true;
}

void PreferencesViewController::clearCache()
{
    m_clear->setEnabled(false);
    showStatus(tr("Clearing the cache…"));
    trimThenMeasure(0, [this](qint64 removed) {
        m_clear->setEnabled(true);
        showStatus(
            tr("%1 removed. Your favorites' pages and photos were kept.").arg(sizeText(removed)));
    });
}

void PreferencesViewController::trimThenMeasure(qint64 limit,
                                                const std::function<void(qint64)> &done)
{
    // The favorites come from the stores, which belong to the GUI thread.
    const QList<CacheTrim::KeptListing> kept
        = limit >= 0 ? CacheTrim::keptListings() : QList<CacheTrim::KeptListing>();
    ++m_busy;
    MainQueue::runInBackground(
        [self = QPointer<PreferencesViewController>(this), limit, kept, done] {
            const qint64 removed
                = limit >= 0 ? CacheLimit::trim(limit, CacheTrim::filesOf(kept)) : 0;
            const qint64 size = CacheLimit::size();
            MainQueue::post([self, removed, size, done] {
                if (!self)
                    return;
                --self->m_busy;
                self->showSize(size);
                if (done)
                    done(removed);
                emit self->cacheMeasured(size);
            });
        },
        QThread::LowPriority);
}

void PreferencesViewController::showSize(qint64 bytes)
{
    m_size->setText(tr("%1 of listing pages and photos").arg(sizeText(bytes)));
}

void PreferencesViewController::showStatus(const QString &text, bool problem)
{
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     Theme::colour(problem ? Theme::Colour::Danger : Theme::Colour::InkSoft));
    m_status->setPalette(palette);
    m_status->setText(text);
}
