#include "screens/addressfield.h"

#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr QSize arrowSize(34, 30);
constexpr QSize clearSize(24, 24);

QPushButton *arrow(const QString &text, const QString &name, const QString &tip,
                   const char *objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1StringView(objectName));
    button->setAccessibleName(name);
    button->setToolTip(tip);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(arrowSize);
    return button;
}

} // namespace

AddressField::AddressField(QWidget *parent)
    : QLineEdit(parent)
    , m_back(arrow(QStringLiteral("\u2039"), tr("Back"), tr("Back (Alt+Left)"), "btnBack", this))
    , m_forward(arrow(QStringLiteral("\u203A"), tr("Forward"), tr("Forward (Alt+Right)"),
                      "btnForward", this))
    , m_clear(new QToolButton(this))
{
    setObjectName(QStringLiteral("navBar"));
    setPlaceholderText(tr("Address of a classified site's page"));
    setAccessibleName(tr("Address"));

    // The field's own clear button would lie under the forward button: this one sits beside it.
    m_clear->setObjectName(QStringLiteral("btnClear"));
    m_clear->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    m_clear->setToolTip(tr("Clear the address"));
    m_clear->setAccessibleName(m_clear->toolTip());
    m_clear->setCursor(Qt::ArrowCursor);
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setAutoRaise(true);
    m_clear->setFixedSize(clearSize);
    m_clear->hide();
    connect(m_clear, &QToolButton::clicked, this, [this] {
        clear();
        setFocus(Qt::MouseFocusReason);
    });
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_clear->setVisible(!text.isEmpty()); });
    setTextMargins(arrowSize.width(), 0, arrowSize.width() + clearSize.width(), 0);
    // Once sent, a typed address is no longer being edited: the page's own address may show.
    connect(this, &QLineEdit::returnPressed, this, [this] { setModified(false); });
}

void AddressField::showAddress(const QString &address)
{
    if (hasFocus() && isModified())
        return;
    const bool wholeSelected = hasFocus() && hasSelectedText() && selectedText() == text();
    setText(address);
    if (wholeSelected)
        selectAll();
    else
        setCursorPosition(0);
}

AddressField::~AddressField() = default;

void AddressField::alignButtons()
{
    const auto centred = [this](const QWidget *button) {
        return (height() - button->height()) / 2;
    };
    m_back->move(0, centred(m_back));
    m_forward->move(width() - m_forward->width(), centred(m_forward));
    m_clear->move(m_forward->x() - m_clear->width(), centred(m_clear));
    m_back->show();
    m_forward->show();
}

void AddressField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    alignButtons();
}
