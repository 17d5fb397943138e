#pragma once

#include "scrape/zestoscrapesetting.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QLineEdit;

// A form for one rule set: its name, its address pattern and each rule's query and extraction.
// Save checks the rule set (UserRuleSets::problemWith) and says what is wrong instead of
// handing on a broken one.
class RuleSetForm final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RuleSetForm)

public:
    // What the rule of key gives, as the form and the rule-sets screen name it ("Listing
    // links" for "link").
    static QString ruleTitle(QStringView key);

    explicit RuleSetForm(QWidget *parent = nullptr);
    ~RuleSetForm() override;

    void load(const ZestoScrapeSetting &rules);
    // The rule set as the fields hold it; an empty query field is a rule the set lacks.
    ZestoScrapeSetting rules() const;

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *patternField() const { return m_pattern; }
    QLineEdit *selectField(const QString &key) const { return m_select.value(key); }
    QLabel *problemLabel() const { return m_problem; }
    // The name of the rule set last loaded (null for a new one).
    QString loadedName() const { return m_loadedName; }

    // Checks the fields; emits saved() with the rule set when it is usable.
    void save();

signals:
    void saved(const ZestoScrapeSetting &rules);
    void cancelled();

private:
    QLineEdit *m_name;
    QLineEdit *m_pattern;
    QHash<QString, QLineEdit *> m_select;
    QHash<QString, QLineEdit *> m_extract;
    QLabel *m_problem;
    // The name the rule set had when loaded: renaming keeps its place.
    QString m_loadedName;
};
