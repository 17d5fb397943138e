#include "ui/alertcard.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int bodyMargin = 20;

// A button's place in the card, for the style sheet: the cancel button reads bolder when there
// are others, and the buttons along the card's bottom edge follow its rounded corners.
void styleButton(QPushButton *button, bool cancel, const char *corners)
{
    button->setProperty("cancel", cancel);
    button->setProperty("corners", QLatin1StringView(corners));
    button->style()->unpolish(button);
    button->style()->polish(button);
}

} // namespace

AlertCard::AlertCard(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("alertCard"));
    auto cardLayout = new QVBoxLayout(this);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(0);

    auto body = new QWidget(this);
    auto bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(bodyMargin, bodyMargin, bodyMargin, bodyMargin - 2);
    bodyLayout->setSpacing(8);
    cardLayout->addWidget(body);

    // Titles and messages may carry text the user typed; it is never read as markup.
    m_titleLabel = new QLabel(body);
    m_titleLabel->setObjectName(QStringLiteral("alertTitle"));
    m_messageLabel = new QLabel(body);
    m_messageLabel->setObjectName(QStringLiteral("alertMessage"));
    for (QLabel *label : { m_titleLabel, m_messageLabel }) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->hide();
        bodyLayout->addWidget(label);
    }

    m_customArea = new QWidget(body);
    m_customLayout = new QVBoxLayout(m_customArea);
    m_customLayout->setContentsMargins(0, 4, 0, 4);
    m_customLayout->setSpacing(8);
    m_customArea->hide();
    bodyLayout->addWidget(m_customArea);

    m_textField = new QLineEdit(body);
    m_textField->hide();
    bodyLayout->addWidget(m_textField);

    m_buttonArea = new QWidget(this);
    m_buttonArea->hide();
    cardLayout->addWidget(m_buttonArea);
}

AlertCard::~AlertCard() = default;

void AlertCard::setTexts(const QString &title, const QString &message)
{
    m_titleLabel->setText(title);
    m_titleLabel->setVisible(!title.trimmed().isEmpty());
    m_messageLabel->setText(message);
    m_messageLabel->setVisible(!message.trimmed().isEmpty());
    emit contentChanged();
}

void AlertCard::setTextFieldShown(bool shown)
{
    m_textField->setVisible(shown);
    emit contentChanged();
}

int AlertCard::addButton(const QString &title)
{
    const int index = int(m_buttons.size());
    QString shown = title;
    auto button = new QPushButton(shown.replace(u'&', QStringLiteral("&&")), m_buttonArea);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    connect(button, &QPushButton::clicked, this, [this, index] { emit buttonPressed(index); });
    m_buttonTitles.append(title);
    m_buttons.append(button);
    rebuildButtonArea();
    return index;
}

QString AlertCard::buttonTitle(int index) const
{
    return index >= 0 && index < m_buttonTitles.size() ? m_buttonTitles.at(index) : QString();
}

QPushButton *AlertCard::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void AlertCard::setCancelButtonIndex(int index)
{
    m_cancelButtonIndex = index >= 0 && index < m_buttons.size() ? index : -1;
    rebuildButtonArea();
}

void AlertCard::addSubview(QWidget *view)
{
    // A widget that was given a size keeps it; others take their preferred size.
    QSize size = view->testAttribute(Qt::WA_Resized) ? view->size() : view->sizeHint();
    size.setWidth(std::min(size.width(), cardWidth - 2 * bodyMargin));
    view->setParent(m_customArea);
    view->setFixedSize(size.expandedTo(QSize(1, 1)));
    m_customLayout->addWidget(view, 0, Qt::AlignHCenter);
    view->show();
    m_customArea->show();
    emit contentChanged();
}

void AlertCard::rebuildButtonArea()
{
    delete m_buttonArea->layout();
    auto grid = new QGridLayout(m_buttonArea);
    // The one-pixel gaps show the separator lines painted under the buttons.
    grid->setContentsMargins(0, 1, 0, 0);
    grid->setSpacing(1);
    const int count = int(m_buttons.size());
    if (count == 2) {
        for (int i = 0; i < 2; ++i) {
            styleButton(m_buttons.at(i), i == m_cancelButtonIndex, i == 0 ? "left" : "right");
            grid->addWidget(m_buttons.at(i), 0, i);
        }
    } else {
        // Stacked, with the cancel button at the bottom as the tablet shows it.
        QList<int> order;
        for (int i = 0; i < count; ++i) {
            if (i != m_cancelButtonIndex)
                order.append(i);
        }
        if (m_cancelButtonIndex >= 0)
            order.append(m_cancelButtonIndex);
        for (int row = 0; row < order.size(); ++row) {
            const int i = order.at(row);
            const bool last = row == order.size() - 1;
            styleButton(m_buttons.at(i), i == m_cancelButtonIndex && count > 1,
                        last ? "both" : "none");
            grid->addWidget(m_buttons.at(i), row, 0);
        }
    }
    m_buttonArea->setVisible(count > 0);
    emit contentChanged();
}
