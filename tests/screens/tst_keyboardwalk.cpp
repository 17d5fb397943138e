#include "common/testregistry.h"
#include "screens/homefixture.h"

#include "demo/demosite.h"
#include "grid/largeuicollectionview.h"
#include "saved/zestobookmark.h"
#include "saved/zestobookmarktablecell.h"
#include "saved/zestofavorite.h"
#include "screens/detailviewcontroller.h"
#include "screens/listoroviewcontroller.h"
#include "ui/alertview.h"
#include "ui/barbuttonitem.h"
#include "ui/collectionviewcell.h"
#include "ui/navigationbar.h"
#include "ui/navigationitem.h"
#include "widgets/panelview.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int loadTimeout = 30000;

// A key as the keyboard sends it: to the widget that has the focus.
void press(QKeyCombination key)
{
    QWidget *target
        = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// Tab until the focus is on target; fails when a whole round of the chain never reaches it.
bool tabTo(const QWidget *target)
{
    for (int presses = 0; presses < 40; ++presses) {
        if (QApplication::focusWidget() == target)
            return true;
        press(QKeyCombination(Qt::Key_Tab));
    }
    return QApplication::focusWidget() == target;
}

// The controls in sight under root that a screen reader could not name.
QStringList unnamedControls(QWidget *root)
{
    QStringList unnamed;
    const auto widgets = root->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const bool control = qobject_cast<QAbstractButton *>(widget)
            || qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractItemView *>(widget)
            || qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QComboBox *>(widget)
            || widget->focusPolicy() != Qt::NoFocus;
        if (!control || !widget->isVisibleTo(root))
            continue;
        // A web page names its own controls.
        bool inPage = false;
        for (const QWidget *up = widget; up && !inPage; up = up->parentWidget())
            inPage = up->inherits("QWebEngineView");
        if (inPage)
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(widget->objectName() + u'/'
                           + QString::fromLatin1(widget->metaObject()->className()));
    }
    return unnamed;
}

} // namespace

// Home, a site, Zesto, a bookmark, a tile's detail, a favorite, back, the favorites grid and the
// bookmark again, with keys alone.
class TestKeyboardWalk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walk_reachesEveryScreenWithoutTheMouse()
    {
        TemporaryProfile profile;
        confirmHowto();
        DemoSite::Options options;
        options.listingsPerPage = 4;
        options.pages = 1;
        DemoSite site(options);
        QVERIFY(site.start());
        SiteAddresses::useDemoSite(site.searchUrl(1));
        HomeWindow w;
        w.window->show();
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        HomeViewController *home = w.home();
        const auto top = [&w] {
            return w.window->topViewController();
        };
        const auto browser = [&top] {
            return qobject_cast<ListoroViewController *>(top());
        };
        const auto gridShown = [&browser] {
            return browser() && browser()->collectionView()
                && browser()->collectionView()->isVisible() && !browser()->loadingAlert();
        };

        QTRY_VERIFY(home->isVisible());
        QCOMPARE(unnamedControls(w.window.get()).join(u","), QString());

        // The site from the home bar, Zesto, and a bookmark named on the offer.
        QVERIFY(tabTo(w.window->navigationBar()->buttonForItem(home->btnCraigslist())));
        press(QKeyCombination(Qt::Key_Space));
        QTRY_VERIFY_WITH_TIMEOUT(browser() && browser()->btnZesto()->isEnabled(), loadTimeout);
        press(Qt::CTRL | Qt::Key_E);
        QTRY_VERIFY_WITH_TIMEOUT(gridShown() && browser()->bookmarkAlert(), loadTimeout);
        QTRY_VERIFY(QApplication::focusWidget()
                    && browser()->bookmarkAlert()->isAncestorOf(QApplication::focusWidget()));
        // Yes and No are buttons of their own: Enter alone would not say which.
        QVERIFY(tabTo(browser()->bookmarkAlert()->buttonAtIndex(0)));
        press(QKeyCombination(Qt::Key_Space));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        QTest::keyClicks(QApplication::focusWidget(), u"Demo things"_s);
        press(QKeyCombination(Qt::Key_Return));
        QTRY_COMPARE(ZestoBookmark::getBookmarks().size(), 1);

        // A tile by Tab, its detail by Enter, a favorite by Ctrl+D, back by Escape.
        QTRY_VERIFY(browser()->collectionView()->hasFocus());
        QCOMPARE(unnamedControls(w.window.get()).join(u","), QString());
        press(QKeyCombination(Qt::Key_Tab));
        QCOMPARE(browser()->collectionView()->currentItem(), IndexPath({ 0, 0 }));
        QVERIFY(browser()->collectionView()->cellForItemAtIndexPath({ 0, 0 })->isMarked());
        // Ctrl+D keeps the tile the keyboard is on.
        press(Qt::CTRL | Qt::Key_D);
        QCOMPARE(ZestoFavorite::getFavorites().size(), 1);
        press(QKeyCombination(Qt::Key_Tab));
        QCOMPARE(browser()->collectionView()->currentItem(), IndexPath({ 0, 1 }));
        press(QKeyCombination(Qt::Key_Return));
        DetailViewController *detail = nullptr;
        QTRY_VERIFY((detail = qobject_cast<DetailViewController *>(top())));
        QCOMPARE(unnamedControls(w.window.get()).join(u","), QString());
        QTRY_VERIFY(detail->isAncestorOf(QApplication::focusWidget()));
        press(Qt::CTRL | Qt::Key_D);
        QCOMPARE(ZestoFavorite::getFavorites().size(), 2);
        press(QKeyCombination(Qt::Key_Escape));
        QTRY_VERIFY(gridShown());

        // Home, the favorites grid from its panel, home again and the bookmark by Enter.
        press(Qt::ALT | Qt::Key_Home);
        QTRY_COMPARE(top(), home);
        QVERIFY(tabTo(home->vwFavoritesView()));
        press(QKeyCombination(Qt::Key_Return));
        QTRY_VERIFY_WITH_TIMEOUT(gridShown(), loadTimeout);
        QTRY_COMPARE(browser()->collectionView()->numberOfItemsInSection(0), 2);
        press(Qt::ALT | Qt::Key_Home);
        QTRY_COMPARE(top(), home);
        QVERIFY(tabTo(home->bookmarksTable()));
        QVERIFY(home->cellForRow(0)->isMarked());
        press(QKeyCombination(Qt::Key_Return));
        QTRY_VERIFY_WITH_TIMEOUT(gridShown(), loadTimeout);
        QCOMPARE(browser()->currentUrl(), site.searchUrl(1).toString());
        QTRY_COMPARE(browser()->collectionView()->numberOfItemsInSection(0), 4);
    }
};

LISTORO_TEST(TestKeyboardWalk)
#include "tst_keyboardwalk.moc"
