#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// The strip teach mode shows above the page: what to click next, what the rules found so far
// (or what went wrong), the step's buttons, and, when the rule set is ready, its name and
// address pattern to edit before saving. "Stop teaching" is always there.
class TeachBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TeachBar)

public:
    explicit TeachBar(QWidget *parent = nullptr);
    ~TeachBar() override;

    struct Action
    {
        QString objectName;
        QString title;
        std::function<void()> run;
    };

    void setInstruction(const QString &text);
    // A problem is shown in red.
    void setStatus(const QString &text, bool problem = false);
    void setActions(const QList<Action> &actions);
    // Shows the name and pattern fields with these values; hidden by showNaming(false).
    void showNaming(bool shown, const QString &name = {}, const QString &pattern = {});

    QString instruction() const;
    QString status() const;
    bool statusIsProblem() const { return m_problem; }
    QString name() const;
    QString pattern() const;
    QLineEdit *nameField() const { return m_name; }
    QLineEdit *patternField() const { return m_pattern; }
    // The step's button of that object name; null when the step has none.
    QPushButton *action(const QString &objectName) const;

signals:
    void stopRequested();

private:
    QLabel *m_instruction;
    QLabel *m_status;
    QLineEdit *m_name;
    QLineEdit *m_pattern;
    QHBoxLayout *m_actions;
    QList<QPushButton *> m_buttons;
    bool m_problem = false;
};
