#include "screens/gridfilterbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

namespace {

std::optional<double> amountIn(const QLineEdit *field)
{
    bool ok = false;
    const double amount = QLocale().toDouble(field->text().trimmed(), &ok);
    return ok && amount >= 0 ? std::optional(amount) : std::nullopt;
}

QString amountText(const std::optional<double> &amount)
{
    return amount ? QLocale().toString(*amount, 'f', QLocale::FloatingPointShortest) : QString();
}

QLineEdit *field(const char *name, const QString &placeholder, const QString &accessible,
                 QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1StringView(name));
    edit->setPlaceholderText(placeholder);
    edit->setAccessibleName(accessible);
    edit->setClearButtonEnabled(true);
    return edit;
}

} // namespace

GridFilterBar::GridFilterBar(QWidget *parent)
    : QWidget(parent)
    , m_order(new QComboBox(this))
    , m_words(field("filterWords", tr("Words in the title (-word: not)"), tr("Words in the title"),
                    this))
    , m_minimum(field("filterMinimum", tr("Price from"), tr("Lowest price"), this))
    , m_maximum(field("filterMaximum", tr("to"), tr("Highest price"), this))
    , m_photos(new QCheckBox(tr("With photos only"), this))
    , m_seen(new QCheckBox(tr("Hide seen"), this))
    , m_compact(new QToolButton(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("gridFilterBar"));
    setAttribute(Qt::WA_StyledBackground);
    m_order->setObjectName(QStringLiteral("filterOrder"));
    m_order->setAccessibleName(tr("Order"));
    m_order->addItems({ tr("Site's order"), tr("Newest first"), tr("Price: low to high"),
                        tr("Price: high to low") });
    for (QLineEdit *price : { m_minimum, m_maximum }) {
        auto *validator = new QDoubleValidator(0, 1e12, 2, price);
        validator->setNotation(QDoubleValidator::StandardNotation);
        price->setValidator(validator);
        price->setMaximumWidth(96);
    }
    m_words->setMinimumWidth(120);
    // Every word is looked for in every title: a few words are all a filter needs.
    m_words->setMaxLength(200);
    m_photos->setObjectName(QStringLiteral("filterPhotos"));
    m_seen->setObjectName(QStringLiteral("filterSeen"));
    m_compact->setObjectName(QStringLiteral("filterCompact"));
    m_compact->setCheckable(true);
    m_compact->setText(tr("Compact"));
    m_compact->setToolTip(tr("Several listings to a row, to compare them"));
    m_compact->setAccessibleName(tr("Compact view"));
    m_count->setObjectName(QStringLiteral("filterCount"));

    m_rows = new QGridLayout(this);
    m_rows->setContentsMargins(12, 6, 12, 6);
    m_rows->setHorizontalSpacing(8);
    m_rows->setVerticalSpacing(6);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    arrange(false);

    // Typing settles for a moment before the grid follows.
    auto *typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(250);
    connect(typing, &QTimer::timeout, this, &GridFilterBar::changed);
    for (QLineEdit *edit : { m_words, m_minimum, m_maximum })
        connect(edit, &QLineEdit::textEdited, typing, qOverload<>(&QTimer::start));
    for (QLineEdit *edit : { m_words, m_minimum, m_maximum }) {
        // The clear button changes the text without an edit.
        connect(edit, &QLineEdit::textChanged, this, [this, typing](const QString &text) {
            if (text.isEmpty() && !m_setting)
                typing->start();
        });
    }
    connect(m_order, &QComboBox::currentIndexChanged, this, &GridFilterBar::changed);
    connect(m_photos, &QCheckBox::toggled, this, &GridFilterBar::changed);
    connect(m_seen, &QCheckBox::toggled, this, &GridFilterBar::changed);
    connect(m_compact, &QToolButton::toggled, this, &GridFilterBar::changed);
}

GridChoice GridFilterBar::choice() const
{
    GridChoice choice;
    choice.order = GridChoice::Order(std::max(0, m_order->currentIndex()));
    choice.words = m_words->text().simplified();
    choice.minimumPrice = amountIn(m_minimum);
    choice.maximumPrice = amountIn(m_maximum);
    choice.withPhotosOnly = m_photos->isChecked();
    choice.hideSeen = m_seen->isChecked();
    choice.compact = m_compact->isChecked();
    return choice;
}

void GridFilterBar::setChoice(const GridChoice &choice)
{
    m_setting = true;
    m_order->setCurrentIndex(int(choice.order));
    m_words->setText(choice.words);
    m_minimum->setText(amountText(choice.minimumPrice));
    m_maximum->setText(amountText(choice.maximumPrice));
    m_photos->setChecked(choice.withPhotosOnly);
    m_seen->setChecked(choice.hideSeen);
    m_compact->setChecked(choice.compact);
    m_setting = false;
}

void GridFilterBar::setCounts(int shown, int total, int folded)
{
    QString text = shown == total ? (total == 1 ? tr("1 listing") : tr("%1 listings").arg(total))
                                  : tr("%1 of %2 shown").arg(shown).arg(total);
    if (folded > 0)
        text += folded == 1 ? tr(", 1 repost folded") : tr(", %1 reposts folded").arg(folded);
    m_count->setText(text);
}

int GridFilterBar::barHeight() const
{
    return m_twoRows ? 2 * rowHeight : rowHeight;
}

void GridFilterBar::arrange(bool twoRows)
{
    m_twoRows = twoRows;
    setFixedHeight(barHeight());
    while (m_rows->count() > 0)
        delete m_rows->takeAt(0);
    for (int c = 0; c < m_rows->columnCount(); ++c)
        m_rows->setColumnStretch(c, 0);
    // One row in a wide window: order, words, prices, photos, seen, then the count and the view
    // at the right. In a narrow one the filters go to a second row.
    m_rows->addWidget(m_order, 0, 0);
    m_rows->addWidget(m_words, 0, 1);
    m_rows->addWidget(m_minimum, 0, 2);
    m_rows->addWidget(m_maximum, 0, 3);
    m_rows->setColumnStretch(1, 2);
    if (twoRows) {
        auto *filters = new QHBoxLayout;
        filters->setSpacing(8);
        filters->addWidget(m_photos);
        filters->addWidget(m_seen);
        filters->addStretch(1);
        filters->addWidget(m_count);
        filters->addWidget(m_compact);
        m_rows->addLayout(filters, 1, 0, 1, 4);
    } else {
        m_rows->addWidget(m_photos, 0, 4);
        m_rows->addWidget(m_seen, 0, 5);
        m_rows->setColumnStretch(6, 1);
        m_rows->addWidget(m_count, 0, 7);
        m_rows->addWidget(m_compact, 0, 8);
    }
    emit heightChanged();
}

void GridFilterBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const bool twoRows = width() < oneRowWidth;
    if (twoRows != m_twoRows)
        arrange(twoRows);
}

void GridFilterBar::changed()
{
    if (!m_setting)
        emit choiceChanged(choice());
}
