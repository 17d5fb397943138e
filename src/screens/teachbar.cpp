#include "screens/teachbar.h"

#include "ui/untrustedtext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TeachBar::TeachBar(QWidget *parent)
    : QWidget(parent)
    , m_instruction(new QLabel(this))
    , m_status(new QLabel(this))
    , m_name(new QLineEdit(this))
    , m_pattern(new QLineEdit(this))
    , m_actions(new QHBoxLayout)
{
    setObjectName(QStringLiteral("teachBar"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xd6));
    palette.setColor(QPalette::WindowText, QColor(0x33, 0x2a, 0x12));
    setPalette(palette);

    m_instruction->setObjectName(QStringLiteral("teachInstruction"));
    // Both lines quote the page's texts.
    UntrustedText::makePlain(m_instruction);
    UntrustedText::makePlain(m_status);
    QFont bold = m_instruction->font();
    bold.setWeight(QFont::DemiBold);
    bold.setPointSizeF(bold.pointSizeF() * 1.1);
    m_instruction->setFont(bold);
    m_instruction->setWordWrap(true);
    m_status->setObjectName(QStringLiteral("teachStatus"));
    m_status->setWordWrap(true);
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing());
    m_name->setObjectName(QStringLiteral("teachName"));
    m_name->setPlaceholderText(tr("Name of the rule set"));
    m_pattern->setObjectName(QStringLiteral("teachPattern"));
    m_pattern->setPlaceholderText(tr("Addresses it is for (a regular expression)"));
    m_name->hide();
    m_pattern->hide();

    auto *stop = new QPushButton(tr("Stop teaching"), this);
    stop->setObjectName(QStringLiteral("teachStop"));
    stop->setToolTip(tr("Leave teach mode (Escape)"));
    connect(stop, &QPushButton::clicked, this, &TeachBar::stopRequested);

    auto *fields = new QHBoxLayout;
    fields->addWidget(m_name, 1);
    fields->addWidget(m_pattern, 2);
    auto *row = new QHBoxLayout;
    row->addLayout(m_actions);
    row->addStretch(1);
    row->addWidget(stop);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(14, 8, 14, 8);
    column->setSpacing(6);
    column->addWidget(m_instruction);
    column->addWidget(m_status);
    column->addLayout(fields);
    column->addLayout(row);
}

TeachBar::~TeachBar() = default;

void TeachBar::setInstruction(const QString &text)
{
    m_instruction->setText(text);
}

void TeachBar::setStatus(const QString &text, bool problem)
{
    m_problem = problem;
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     problem ? QColor(0xb0, 0x20, 0x10) : QColor(0x2f, 0x6a, 0x2f));
    m_status->setPalette(palette);
    // The line stays when empty: the bar keeps its height, so the page below does not move
    // between steps (the web view maps the next click from where the page was).
    m_status->setText(text);
}

void TeachBar::setActions(const QList<Action> &actions)
{
    // Later: the button pressed may be the one that led here.
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    for (const Action &action : actions) {
        auto *button = new QPushButton(action.title, this);
        button->setObjectName(action.objectName);
        connect(button, &QPushButton::clicked, this, action.run);
        m_actions->addWidget(button);
        m_buttons.append(button);
    }
}

void TeachBar::showNaming(bool shown, const QString &name, const QString &pattern)
{
    if (shown) {
        m_name->setText(name);
        m_pattern->setText(pattern);
    }
    m_name->setVisible(shown);
    m_pattern->setVisible(shown);
}

QString TeachBar::instruction() const
{
    return m_instruction->text();
}

QString TeachBar::status() const
{
    return m_status->text();
}

QString TeachBar::name() const
{
    return m_name->text().trimmed();
}

QString TeachBar::pattern() const
{
    return m_pattern->text().trimmed();
}

QPushButton *TeachBar::action(const QString &objectName) const
{
    for (QPushButton *button : m_buttons) {
        if (button->objectName() == objectName)
            return button;
    }
    return nullptr;
}
