#include "common/testregistry.h"
#include "screens/homefixture.h"

#include "grid/displayparsedlink.h"
#include "saved/zestobookmark.h"
#include "saved/zestobookmarktablecell.h"
#include "scrape/parsedlink.h"
#include "scrape/userrulesets.h"
#include "screens/detailviewcontroller.h"
#include "screens/mailcomposer.h"
#include "screens/rulesetform.h"
#include "screens/rulesetsviewcontroller.h"
#include "screens/teachbar.h"
#include "ui/navigationbar.h"
#include "ui/navigationitem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>

#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Reports whether the file was opened since the watch was made.
class OpenWatch
{
public:
    explicit OpenWatch(const QString &path)
        : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(fd); }
    Q_DISABLE_COPY_MOVE(OpenWatch)

    bool valid() const { return fd >= 0; }
    bool opened() const
    {
        char events[4096];
        return ::read(fd, events, sizeof events) > 0;
    }

private:
    int fd;
};

// The text a label shows, read the way the label reads it.
QString shownText(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString shownText(const QLabel *label)
{
    return label ? shownText(label->text(), label->textFormat()) : u"(no label)"_s;
}

// A button underlines the letter after '&' and shows "&&" as '&'.
QString shownText(const QAbstractButton *button)
{
    QString text = button->text();
    text.replace(u"&&"_s, QChar(0xE000));
    text.remove(u'&');
    return text.replace(QChar(0xE000), u'&');
}

// Shows widget's tool tip as hovering does and reads the tip that appears.
QString shownToolTip(QWidget *widget)
{
    QToolTip::showText(widget->mapToGlobal(QPoint(2, 2)), widget->toolTip(), widget);
    QString shown = u"(no tip)"_s;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *tip = qobject_cast<QLabel *>(top);
            tip && tip->isVisible() && top->objectName() == u"qtooltip_label") {
            tip->grab();
            shown = shownText(tip);
        }
    }
    QToolTip::hideText();
    return shown;
}

// What one view showed of a text, and what it should have shown. A view that cuts the text ends
// it with an ellipsis.
struct Shown
{
    QString view;
    QString text;
    QString expected;
};

bool matches(const Shown &shown)
{
    if (shown.text == shown.expected)
        return true;
    const QChar ellipsis(0x2026);
    return shown.text.endsWith(ellipsis) && shown.text.size() > 1
        && shown.expected.startsWith(shown.text.chopped(1));
}

ZestoScrapeSetting ruleSet(const QString &name)
{
    ZestoScrapeSetting rules;
    rules.setName(name);
    rules.setRegex(u"example"_s);
    rules.setLink(u"//a"_s);
    rules.setLink_extract(u"href"_s);
    return rules;
}

} // namespace

// Titles, names and addresses come from strangers: every view that shows them shows the text
// itself, and markup in them is never rendered (an image tag would make Listoro read a file).
class TestUntrustedText final : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString secret;
    std::unique_ptr<TemporaryProfile> profile;

private slots:
    void initTestCase()
    {
        secret = dir.filePath(u"secret.png"_s);
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(secret));
        MailComposer::setCanSendMail(false);
    }
    void init()
    {
        profile = std::make_unique<TemporaryProfile>();
        confirmHowto();
    }
    void cleanup() { profile.reset(); }

    void hostileText_isShownLiterallyAndReadsNoFile_data();
    void hostileText_isShownLiterallyAndReadsNoFile();
};

void TestUntrustedText::hostileText_isShownLiterallyAndReadsNoFile_data()
{
    QTest::addColumn<QString>("text");
    // SECRET stands for a file of the test's own, watched for opens.
    QTest::newRow("image naming a local file") << u"<img src=\"SECRET\"> Sofa 1"_s;
    QTest::newRow("bold, image and ampersand")
        << u"<b>Bold</b> <img src=\"/etc/hostname\"> <img src=\"SECRET\"> & more"_s;
    QTest::newRow("link") << u"<a href=\"file:///etc/passwd\">Free sofa</a>"_s;
    QTest::newRow("table")
        << u"<table><tr><td><img src=\"SECRET\" width=\"9999\" height=\"9999\"></td></tr></table>"_s;
    QTest::newRow("escaped markup first") << u"&lt;b&gt; <img src=\"SECRET\">"_s;
    QTest::newRow("qt tag") << u"<qt><img src=\"file://SECRET\"></qt>"_s;
    QTest::newRow("entity run, 200 KB") << u"&amp;"_s.repeated(40000);
    QTest::newRow("title placeholder and shortcut marker") << u"Sofa [*] & chairs && [*][*]"_s;
}

void TestUntrustedText::hostileText_isShownLiterallyAndReadsNoFile()
{
    QFETCH(QString, text);
    text.replace(u"SECRET"_s, secret);
    const QString line = text.simplified();
    const OpenWatch watch(secret);
    QVERIFY(watch.valid());
    QList<Shown> shown;

    // A tile of the grid (the favorites grid draws the same tiles).
    auto record = std::make_shared<ParsedLink>();
    record->setTitle(text);
    DisplayParsedLink tile;
    tile.setTileWidth(700);
    tile.setHeaderHeight(52);
    tile.setParsedLink(record);
    tile.render();
    tile.show();
    tile.grab();
    auto *tileTitle = tile.findChild<QLabel *>(u"tileTitle"_s);
    shown.append({ u"tile title"_s, shownText(tileTitle), line });
    shown.append({ u"tile tool tip"_s, shownToolTip(tileTitle), line });

    // The detail screen, below a screen of the same title: its bar's title, back button and the
    // window's title.
    auto *root = new ViewController;
    root->navigationItem()->setTitle(text);
    NavigationController navigation(root);
    navigation.resize(1024, 768);
    navigation.show();
    auto *detail = new DetailViewController;
    detail->setParsedLink(record);
    navigation.pushViewController(detail, false);
    navigation.grab();
    shown.append(
        { u"detail title"_s, shownText(navigation.navigationBar()->findChild<QLabel *>()), line });
    shown.append(
        { u"detail back button"_s, shownText(navigation.navigationBar()->backButton()), text });
    shown.append({ u"window title"_s, navigation.windowHandle()->title().left(line.size()), line });

    // The home screen's bookmark row, its tip, and the alert that quotes it.
    ZestoBookmark bookmark;
    bookmark.setTitle(text);
    bookmark.setUrl(u"http://127.0.0.1:1/?q="_s + text);
    ZestoBookmark::setBookmarks({ bookmark });
    QVERIFY(UserRuleSets::save(ruleSet(text)).isNull());
    HomeWindow home;
    home.window->show();
    ZestoBookmarkTableCell *cell = home.home()->cellForRow(0);
    QVERIFY(cell);
    cell->grab();
    shown.append({ u"bookmark row"_s, shownText(cell->title()), text });
    shown.append({ u"bookmark tool tip"_s, shownToolTip(cell), bookmark.url() });
    home.home()->commitEditingStyle(0);
    QVERIFY(!AlertView::visibleAlerts().isEmpty());
    AlertView *alert = AlertView::visibleAlerts().constLast();
    alert->grab();
    shown.append({ u"alert"_s, shownText(alert->findChild<QLabel *>(u"alertMessage"_s)),
                   u"Are you sure you want to delete %1 ?"_s.arg(text) });
    alert->dismissWithClickedButtonIndex(1, false);

    // The rule sets window: its status line and its form's problem line.
    home.home()->btnRuleSets()->trigger();
    auto *ruleSets = qobject_cast<RuleSetsViewController *>(home.window->topViewController());
    QVERIFY(ruleSets);
    ruleSets->editSelected();
    ruleSets->form()->patternField()->setText(u"("_s + text);
    ruleSets->form()->save();
    ruleSets->testSelected(text);
    home.window->grab();
    shown.append({ u"rule sets status"_s, shownText(ruleSets->status()),
                   u"“%1” is not the address of a web page."_s.arg(text) });
    shown.append({ u"rule set form problem"_s, shownText(ruleSets->form()->problemLabel()),
                   UserRuleSets::problemWith(ruleSets->form()->rules()) });

    // The teach bar quotes what the user clicked.
    TeachBar bar;
    bar.setInstruction(text);
    bar.setStatus(text);
    bar.resize(900, 200);
    bar.show();
    bar.grab();
    shown.append({ u"teach instruction"_s,
                   shownText(bar.findChild<QLabel *>(u"teachInstruction"_s)), text });
    shown.append({ u"teach status"_s, shownText(bar.findChild<QLabel *>(u"teachStatus"_s)), text });

    QStringList wrong;
    if (watch.opened())
        wrong.append(u"a view read a file its text names"_s);
    for (const Shown &one : std::as_const(shown)) {
        if (!matches(one))
            wrong.append(u"%1 shows \"%2\""_s.arg(one.view, one.text.left(100)));
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
}

LISTORO_TEST(TestUntrustedText)
#include "tst_untrustedtext.moc"
