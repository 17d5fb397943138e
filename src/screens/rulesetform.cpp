#include "screens/rulesetform.h"

#include "scrape/userrulesets.h"
#include "ui/untrustedtext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString RuleSetForm::ruleTitle(QStringView key)
{
    if (key == u"link")
        return RuleSetForm::tr("Listing links");
    if (key == u"next")
        return RuleSetForm::tr("Next page");
    if (key == u"title")
        return RuleSetForm::tr("Title");
    if (key == u"innerImgsWithHref")
        return RuleSetForm::tr("Photo links");
    if (key == u"innerImgsWithSrc")
        return RuleSetForm::tr("Photos");
    if (key == u"date")
        return RuleSetForm::tr("Date");
    return RuleSetForm::tr("Price");
}

RuleSetForm::RuleSetForm(QWidget *parent)
    : QWidget(parent)
    , m_name(new QLineEdit(this))
    , m_pattern(new QLineEdit(this))
    , m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("ruleSetForm"));
    UntrustedText::makePlain(m_problem);
    m_name->setObjectName(QStringLiteral("ruleSetName"));
    m_pattern->setObjectName(QStringLiteral("ruleSetPattern"));
    m_pattern->setPlaceholderText(tr("a regular expression, e.g. ^https?://www\\.example\\.com/"));
    auto *form = new QFormLayout;
    form->addRow(tr("Name"), m_name);
    form->addRow(tr("Addresses"), m_pattern);
    for (const ZestoScrapeSetting::Rule &rule : ZestoScrapeSetting().rules()) {
        const QString key(rule.key);
        auto *select = new QLineEdit(this);
        select->setObjectName(QStringLiteral("select_") + key);
        select->setPlaceholderText(tr("XPath query (empty: no such rule)"));
        auto *extract = new QLineEdit(this);
        extract->setObjectName(QStringLiteral("extract_") + key);
        extract->setPlaceholderText(QStringLiteral("@content"));
        extract->setMaximumWidth(110);
        auto *row = new QHBoxLayout;
        row->addWidget(select, 1);
        row->addWidget(extract);
        form->addRow(ruleTitle(key), row);
        m_select.insert(key, select);
        m_extract.insert(key, extract);
    }
    m_problem->setObjectName(QStringLiteral("ruleSetProblem"));
    m_problem->setWordWrap(true);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, QColor(0xb0, 0x20, 0x10));
    m_problem->setPalette(red);

    auto *save = new QPushButton(tr("Save"), this);
    save->setObjectName(QStringLiteral("ruleSetSave"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(save);
    connect(save, &QPushButton::clicked, this, &RuleSetForm::save);
    connect(cancel, &QPushButton::clicked, this, &RuleSetForm::cancelled);

    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(m_problem);
    column->addStretch(1);
    column->addLayout(buttons);
}

RuleSetForm::~RuleSetForm() = default;

void RuleSetForm::load(const ZestoScrapeSetting &rules)
{
    m_loadedName = rules.name();
    m_name->setText(rules.name());
    m_pattern->setText(rules.regex());
    for (const ZestoScrapeSetting::Rule &rule : rules.rules()) {
        m_select.value(QString(rule.key))->setText(rule.select);
        m_extract.value(QString(rule.key))->setText(rule.extract);
    }
    // Long queries read from their start, which says what they look for.
    for (QLineEdit *field : findChildren<QLineEdit *>())
        field->setCursorPosition(0);
    m_problem->clear();
}

ZestoScrapeSetting RuleSetForm::rules() const
{
    ZestoScrapeSetting rules;
    rules.setName(m_name->text().trimmed());
    rules.setRegex(m_pattern->text().trimmed());
    const auto take
        = [this](const QString &key, auto setSelect, auto setExtract, ZestoScrapeSetting &into) {
              const QString select = m_select.value(key)->text().trimmed();
              if (select.isEmpty())
                  return;
              const QString extract = m_extract.value(key)->text().trimmed();
              (into.*setSelect)(select);
              (into.*setExtract)(extract.isEmpty() ? QStringLiteral("@content") : extract);
          };
    take(QStringLiteral("link"), &ZestoScrapeSetting::setLink, &ZestoScrapeSetting::setLink_extract,
         rules);
    take(QStringLiteral("next"), &ZestoScrapeSetting::setNext, &ZestoScrapeSetting::setNext_extract,
         rules);
    take(QStringLiteral("title"), &ZestoScrapeSetting::setTitle,
         &ZestoScrapeSetting::setTitle_extract, rules);
    take(QStringLiteral("innerImgsWithHref"), &ZestoScrapeSetting::setInnerImgsWithHref,
         &ZestoScrapeSetting::setInnerImgsWithHref_extract, rules);
    take(QStringLiteral("innerImgsWithSrc"), &ZestoScrapeSetting::setInnerImgsWithSrc,
         &ZestoScrapeSetting::setInnerImgsWithSrc_extract, rules);
    take(QStringLiteral("date"), &ZestoScrapeSetting::setDate, &ZestoScrapeSetting::setDate_extract,
         rules);
    take(QStringLiteral("price"), &ZestoScrapeSetting::setPrice,
         &ZestoScrapeSetting::setPrice_extract, rules);
    return rules;
}

void RuleSetForm::save()
{
    const ZestoScrapeSetting edited = rules();
    if (const QString problem = UserRuleSets::problemWith(edited); !problem.isNull()) {
        m_problem->setText(problem);
        return;
    }
    m_problem->clear();
    emit saved(edited);
}
