#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One row of the bookmarks table: the bookmark's name, a button that opens it in grid mode and
// a button that deletes it.
class ZestoBookmarkTableCell final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZestoBookmarkTableCell)

public:
    static constexpr auto reuseIdentifier = "Bookmark Cell";

    explicit ZestoBookmarkTableCell(QWidget *parent = nullptr);

    QLabel *title() const { return titleLabel; }
    QPushButton *zestoButton() const { return openButton; }
    QPushButton *deleteButton() const { return removeButton; }

    void setSelected(bool selected);
    bool isSelected() const { return selected; }

private:
    QLabel *titleLabel = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *removeButton = nullptr;
    bool selected = false;
};
