#pragma once

#include "scrape/rulehealth.h"
#include "scrape/userrulesets.h"
#include "scrape/zestoscrapesetting.h"
#include "ui/viewcontroller.h"

#include <memory>

class HttpFetch;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class RuleSetForm;

// The "Rule sets" screen: the user's own rule sets (taught, imported or edited), each with its
// name, address pattern and queries; they can be renamed, edited, tested on a page (what each
// rule finds there), deleted, and exported or imported as a settings document.
class RuleSetsViewController final : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RuleSetsViewController)

public:
    explicit RuleSetsViewController(QWidget *parent = nullptr);
    ~RuleSetsViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The page the browser screen showed last: what "Test" offers first.
    static void setCurrentPage(const QString &url);

    QListWidget *list() const { return m_list; }
    RuleSetForm *form() const { return m_form; }
    QPlainTextEdit *details() const { return m_details; }
    QLabel *status() const { return m_status; }
    QPushButton *button(const QString &objectName) const;

    void reload();
    // The selected rule set; none when nothing is selected.
    std::optional<ZestoScrapeSetting> selected() const;

    void renameSelected();
    void editSelected();
    void deleteSelected();
    // Fetches url and says what each rule of the selected set finds on it.
    void testSelected(const QString &url);
    void showHealth(const QString &url, const RuleHealth &health, bool forPage);
    // Imports the rule sets of the document at path; when the user has rule sets of the same
    // names, asks first whether to replace them. False when nothing can be imported.
    bool importFrom(const QString &path);
    bool exportTo(const QString &path);

private:
    void showDetails();
    void showStatus(const QString &text, bool problem = false);
    void showImported(const UserRuleSets::Import &imported);
    static QString notWritten();
    void askForTestPage();

    QListWidget *m_list = nullptr;
    QStackedWidget *m_pages = nullptr;
    QScrollArea *m_formScroll = nullptr;
    QPlainTextEdit *m_details = nullptr;
    RuleSetForm *m_form = nullptr;
    QLabel *m_status = nullptr;
    QList<QPushButton *> m_buttons;
    std::shared_ptr<HttpFetch> m_testFetch;
    quint64 m_testTicket = 0;
};
