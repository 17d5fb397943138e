#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One row of the bookmarks table: the bookmark's name, a toggle that watches it for new
// listings, a button that opens it in grid mode and a button that deletes it.
class ZestoBookmarkTableCell final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZestoBookmarkTableCell)

public:
    static constexpr auto reuseIdentifier = "Bookmark Cell";

    explicit ZestoBookmarkTableCell(QWidget *parent = nullptr);

    QLabel *title() const { return titleLabel; }
    // The whole name; the label shows it elided with "…" when the row is too narrow.
    QString titleText() const { return fullTitle; }
    void setTitleText(const QString &text);
    // A short note after the name ("3 new at the last visit"); empty: none.
    QLabel *note() const { return noteLabel; }
    void setNote(const QString &text);
    QPushButton *watchButton() const { return watchToggle; }
    void setWatched(bool watched);
    // A watch toggle's check, text and tips, as the row's and the grid bar's show them; no signal.
    static void showWatchState(QPushButton *toggle, bool watched);
    QPushButton *zestoButton() const { return openButton; }
    QPushButton *deleteButton() const { return removeButton; }

    void setSelected(bool selected);
    bool isSelected() const { return selected; }
    // The row the keyboard is on, while the table has the keyboard: an accent frame.
    void setMarked(bool marked);
    bool isMarked() const { return marked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *titleLabel = nullptr;
    QLabel *noteLabel = nullptr;
    QPushButton *watchToggle = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *removeButton = nullptr;
    QString fullTitle;
    bool selected = false;
    bool marked = false;

    void setStyleProperty(const char *name, bool value);
    void elideTitle();
};
