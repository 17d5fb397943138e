#include "screens/rulesetsviewcontroller.h"

#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "platform/storeproblems.h"
#include "platform/userdefaults.h"
#include "scrape/rulehealth.h"
#include "scrape/settingsrefresh.h"
#include "scrape/userrulesets.h"
#include "screens/rulesetform.h"
#include "ui/alertview.h"
#include "ui/navigationitem.h"
#include "ui/untrustedtext.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QString &currentPage()
{
    static QString page;
    return page;
}

// The rule set as the details pane shows it: its pattern and every rule it has.
QString describe(const ZestoScrapeSetting &rules)
{
    QStringList lines{ RuleSetsViewController::tr("Addresses: %1").arg(rules.regex()), QString() };
    for (const ZestoScrapeSetting::Rule &rule : rules.rules()) {
        if (!rule.select.isNull())
            lines << QStringLiteral("%1 (%2):\n    %3")
                         .arg(RuleSetForm::ruleTitle(QString(rule.key)), rule.extract, rule.select);
    }
    return lines.join(u'\n');
}

} // namespace

RuleSetsViewController::RuleSetsViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("ruleSets"));
}

RuleSetsViewController::~RuleSetsViewController()
{
    if (m_testFetch)
        m_testFetch->abort();
}

void RuleSetsViewController::setCurrentPage(const QString &url)
{
    currentPage() = url;
}

void RuleSetsViewController::viewDidLoad()
{
    navigationItem()->setTitle(tr("Rule sets"));
    setWindowTitle(tr("Rule sets"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ruleSetList"));
    m_list->setMinimumWidth(150);
    // Long names and address patterns end in "…" rather than scroll sideways.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    m_details = new QPlainTextEdit(this);
    m_details->setObjectName(QStringLiteral("ruleSetDetails"));
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_form = new RuleSetForm(this);
    // In a short window the form scrolls, so that every query field stays within reach.
    m_formScroll = new QScrollArea(this);
    m_formScroll->setObjectName(QStringLiteral("ruleSetFormScroll"));
    m_formScroll->setWidgetResizable(true);
    m_formScroll->setFrameShape(QFrame::NoFrame);
    m_formScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_formScroll->setWidget(m_form);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_details);
    m_pages->addWidget(m_formScroll);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("ruleSetStatus"));
    UntrustedText::makePlain(m_status);
    m_status->setWordWrap(true);

    const auto addButton = [this](const QString &name, const QString &title, auto slot) {
        auto *button = new QPushButton(title, this);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, slot);
        m_buttons.append(button);
        return button;
    };
    addButton(QStringLiteral("ruleSetRename"), tr("Rename…"), [this] { renameSelected(); });
    addButton(QStringLiteral("ruleSetEdit"), tr("Edit"), [this] { editSelected(); });
    addButton(QStringLiteral("ruleSetTest"), tr("Test on a page…"), [this] { askForTestPage(); });
    addButton(QStringLiteral("ruleSetDelete"), tr("Delete"), [this] { deleteSelected(); });
    addButton(QStringLiteral("ruleSetImport"), tr("Import…"), [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Import rule sets"), {},
                                                          tr("Settings documents (*.txt *.json)"));
        if (!path.isEmpty())
            importFrom(path);
    });
    addButton(QStringLiteral("ruleSetExport"), tr("Export…"), [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export rule sets"),
                                                          QStringLiteral("listoro-rules.txt"),
                                                          tr("Settings documents (*.txt *.json)"));
        if (!path.isEmpty())
            exportTo(path);
    });

    auto *actions = new QHBoxLayout;
    for (QPushButton *button : std::as_const(m_buttons))
        actions->addWidget(button);
    actions->addStretch(1);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setHorizontalSpacing(16);
    layout->addWidget(m_list, 0, 0, 2, 1);
    layout->addWidget(m_pages, 0, 1);
    layout->addWidget(m_status, 1, 1);
    layout->addLayout(actions, 2, 0, 1, 2);
    // The form's query fields take most of a narrow window.
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 3);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { showDetails(); });
    connect(m_form, &RuleSetForm::cancelled, this, [this] { showDetails(); });
    connect(m_form, &RuleSetForm::saved, this, [this](const ZestoScrapeSetting &rules) {
        const QString before = m_form->loadedName();
        QList<ZestoScrapeSetting> list = UserRuleSets::all();
        bool replaced = false;
        for (ZestoScrapeSetting &stored : list) {
            if (stored.name() == before) {
                stored = rules;
                replaced = true;
            }
        }
        if (!replaced)
            list.append(rules);
        const bool written = UserRuleSets::saveAll(list);
        reload();
        if (written)
            showStatus(tr("“%1” is saved.").arg(rules.name()));
        else
            showStatus(
                tr("“%1” is kept only until Listoro quits: %2").arg(rules.name(), notWritten()),
                true);
    });
}

void RuleSetsViewController::viewWillAppear(bool)
{
    reload();
    if (const QString refusal = SettingsRefresh::lastRefusal(); !refusal.isNull())
        showStatus(tr("The downloaded rule sets were refused, and the ones you had are kept. %1")
                       .arg(refusal),
                   true);
}

QString RuleSetsViewController::notWritten()
{
    return StoreProblems::message(StoreProblems::Store::Settings, UserDefaults::storeFile());
}

QPushButton *RuleSetsViewController::button(const QString &objectName) const
{
    for (QPushButton *candidate : m_buttons) {
        if (candidate->objectName() == objectName)
            return candidate;
    }
    return nullptr;
}

void RuleSetsViewController::reload()
{
    const QString current = selected() ? selected()->name() : QString();
    m_list->clear();
    for (const ZestoScrapeSetting &rules : UserRuleSets::all()) {
        auto *item = new QListWidgetItem(QStringLiteral("%1\n%2").arg(rules.name(), rules.regex()),
                                         m_list);
        item->setData(Qt::UserRole, rules.name());
        if (rules.name() == current)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
    showDetails();
}

std::optional<ZestoScrapeSetting> RuleSetsViewController::selected() const
{
    if (!m_list || !m_list->currentItem())
        return std::nullopt;
    const QString name = m_list->currentItem()->data(Qt::UserRole).toString();
    for (const ZestoScrapeSetting &rules : UserRuleSets::all()) {
        if (rules.name() == name)
            return rules;
    }
    return std::nullopt;
}

void RuleSetsViewController::showDetails()
{
    m_pages->setCurrentWidget(m_details);
    const std::optional<ZestoScrapeSetting> rules = selected();
    m_details->setPlainText(rules ? describe(*rules)
                                  : tr("You have no rule sets of your own yet. Teach Listoro a "
                                       "page with the Teach button of the browser (Ctrl+T), or "
                                       "import a settings document."));
    for (QPushButton *candidate : std::as_const(m_buttons)) {
        if (candidate->objectName() != u"ruleSetImport")
            candidate->setEnabled(rules.has_value() || candidate->objectName() == u"ruleSetExport");
    }
    if (QPushButton *exportButton = button(QStringLiteral("ruleSetExport")))
        exportButton->setEnabled(m_list->count() > 0);
}

void RuleSetsViewController::showStatus(const QString &text, bool problem)
{
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     problem ? QColor(0xb0, 0x20, 0x10) : QColor(0x2f, 0x6a, 0x2f));
    m_status->setPalette(palette);
    m_status->setText(text);
}

void RuleSetsViewController::renameSelected()
{
    const std::optional<ZestoScrapeSetting> rules = selected();
    if (!rules)
        return;
    auto *prompt = new AlertView(this);
    prompt->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
    prompt->setTitle(tr("Rename the rule set"));
    prompt->setMessage(rules->name());
    prompt->addButtonWithTitle(tr("Rename"));
    prompt->addButtonWithTitle(tr("Cancel"));
    prompt->setCancelButtonIndex(1);
    if (QLineEdit *field = prompt->textFieldAtIndex(0))
        field->setText(rules->name());
    const QString name = rules->name();
    connect(prompt, &AlertView::clickedButtonAtIndex, this, [this, prompt, name](int index) {
        const QLineEdit *field = prompt->textFieldAtIndex(0);
        if (index != 0 || !field)
            return;
        if (UserRuleSets::rename(name, field->text()))
            showStatus(tr("Renamed to “%1”.").arg(field->text().trimmed()));
        else
            showStatus(tr("Another rule set is called “%1”, or the name is empty.")
                           .arg(field->text().trimmed()),
                       true);
        reload();
    });
    prompt->show();
}

void RuleSetsViewController::editSelected()
{
    const std::optional<ZestoScrapeSetting> rules = selected();
    if (!rules)
        return;
    m_form->load(*rules);
    m_pages->setCurrentWidget(m_formScroll);
    m_status->clear();
}

void RuleSetsViewController::deleteSelected()
{
    const std::optional<ZestoScrapeSetting> rules = selected();
    if (!rules)
        return;
    AlertView *confirm = AlertView::confirmation(
        tr("Delete “%1”?").arg(rules->name()),
        tr("Pages it reads fall back on the shipped rule sets."), 0, nullptr, this);
    const QString name = rules->name();
    connect(confirm, &AlertView::clickedButtonAtIndex, this, [this, name](int index) {
        if (index != 0)
            return;
        UserRuleSets::remove(name);
        reload();
        showStatus(tr("“%1” is deleted.").arg(name));
    });
    confirm->show();
}

void RuleSetsViewController::askForTestPage()
{
    auto *prompt = new AlertView(this);
    prompt->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
    prompt->setTitle(tr("Test on a page"));
    prompt->setMessage(tr("The address of a page these rules are for"));
    prompt->addButtonWithTitle(tr("Test"));
    prompt->addButtonWithTitle(tr("Cancel"));
    prompt->setCancelButtonIndex(1);
    if (QLineEdit *field = prompt->textFieldAtIndex(0))
        field->setText(currentPage());
    connect(prompt, &AlertView::clickedButtonAtIndex, this, [this, prompt](int index) {
        if (const QLineEdit *field = prompt->textFieldAtIndex(0); index == 0 && field)
            testSelected(field->text().trimmed());
    });
    prompt->show();
}

void RuleSetsViewController::testSelected(const QString &url)
{
    const std::optional<ZestoScrapeSetting> rules = selected();
    const QUrl address(url, QUrl::StrictMode);
    if (!rules)
        return;
    if (!address.isValid() || address.host().isEmpty()) {
        showStatus(tr("“%1” is not the address of a web page.").arg(url), true);
        return;
    }
    if (m_testFetch)
        m_testFetch->abort();
    showStatus(tr("Fetching %1…").arg(url));
    m_testFetch = HttpClient::instance().get(
        address, this, [this, rules, url](const HttpResult &r) {
            m_testFetch.reset();
            if (!r.ok() || !r.isSuccessStatus()) {
                showStatus(tr("%1 could not be fetched: %2")
                               .arg(url, r.ok() ? tr("HTTP status %1").arg(r.statusCode) : r.error),
                           true);
                return;
            }
            const RuleHealth::PageKind kind = rules->link().isNull()
                ? RuleHealth::PageKind::Listing
                : RuleHealth::PageKind::Results;
            // The check parses and queries the page: off the GUI thread, and a later test
            // makes this one's answer moot.
            showStatus(tr("Checking the rules on %1…").arg(url));
            const quint64 ticket = ++m_testTicket;
            MainQueue::runInBackground([self = QPointer<RuleSetsViewController>(this), ticket,
                                        body = r.body, url, kind, rules = *rules] {
                const RuleHealth health = RuleHealth::check(body, url, kind, rules);
                const bool forPage = rules.matchesUrl(url);
                MainQueue::post([self, ticket, url, health, forPage] {
                    if (self && self->m_testTicket == ticket)
                        self->showHealth(url, health, forPage);
                });
            });
        });
}

void RuleSetsViewController::showHealth(const QString &url, const RuleHealth &health, bool forPage)
{
    QStringList lines{ tr("On %1:").arg(url), QString() };
    // Zesto would not use these rules on this page: say so before what they found.
    if (!forPage) {
        lines.insert(1,
                     tr("This page's address does not match the rule set's addresses, so "
                        "Zesto will not use these rules on it."));
    }
    for (const RuleHealth::Check &check : health.checks()) {
        lines << tr("%1: %2 (%3 of %4 elements gave a value)")
                     .arg(RuleSetForm::ruleTitle(check.key), RuleHealth::verdictText(check.verdict))
                     .arg(check.values)
                     .arg(check.matched);
    }
    m_pages->setCurrentWidget(m_details);
    m_details->setPlainText(lines.join(u'\n'));
    const QStringList unmet = health.unmetNeeds();
    if (!forPage)
        showStatus(tr("The rule set is not for this page's address."), true);
    else if (unmet.isEmpty())
        showStatus(tr("Every rule the page needs found something."));
    else
        showStatus(tr("Found nothing for: %1.").arg(unmet.join(QStringLiteral(", "))), true);
}

bool RuleSetsViewController::importFrom(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showStatus(tr("%1 cannot be read: %2").arg(path, file.errorString()), true);
        return false;
    }
    const QString document = QString::fromUtf8(file.readAll());
    const UserRuleSets::Import imported = UserRuleSets::importDocument(document);
    if (!imported.error.isNull()) {
        showStatus(tr("Nothing was imported. %1").arg(imported.error), true);
        return false;
    }
    if (imported.clashes.isEmpty()) {
        showImported(imported);
        return true;
    }
    QStringList quoted;
    for (const QString &name : imported.clashes)
        quoted << tr("“%1”").arg(name);
    AlertView *question = AlertView::confirmation(
        imported.clashes.size() == 1 ? tr("Replace your rule set %1?").arg(quoted.first())
                                     : tr("Replace your rule sets %1?").arg(quoted.join(u", ")),
        tr("The document has rule sets of these names. No keeps yours and imports the others."), 0,
        nullptr, this);
    connect(question, &AlertView::clickedButtonAtIndex, this, [this, document](int index) {
        showImported(UserRuleSets::importDocument(
            document, index == 0 ? UserRuleSets::Clash::Replace : UserRuleSets::Clash::Keep));
    });
    question->show();
    return true;
}

void RuleSetsViewController::showImported(const UserRuleSets::Import &imported)
{
    reload();
    if (!imported.error.isNull())
        showStatus(tr("Nothing was imported. %1").arg(imported.error), true);
    else if (!imported.written)
        showStatus(tr("Imported, but kept only until Listoro quits: %1").arg(notWritten()), true);
    else
        showStatus(imported.added == 1 ? tr("1 rule set imported.")
                                       : tr("%1 rule sets imported.").arg(imported.added));
}

bool RuleSetsViewController::exportTo(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(UserRuleSets::exportDocument().toUtf8()) < 0
        || !file.commit()) {
        showStatus(tr("%1 cannot be written: %2").arg(path, file.errorString()), true);
        return false;
    }
    showStatus(tr("Exported to %1.").arg(path));
    return true;
}
