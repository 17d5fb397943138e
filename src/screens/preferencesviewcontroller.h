#pragma once

#include "ui/viewcontroller.h"

class QComboBox;
class QLabel;
class QPushButton;

// The "Preferences" screen: how much the disk cache of listing pages and photos takes, the size
// it is kept under, and "Clear cache". Measuring, trimming and clearing walk the cache directory:
// they run on the background pool, and the screen says what they found when they are done.
class PreferencesViewController final : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PreferencesViewController)

public:
    // The smallest limit the screen takes: below it the grid would evict photos it shows.
    static constexpr qint64 minimumCacheLimit = qint64(16) << 20;

    explicit PreferencesViewController(QWidget *parent = nullptr);
    ~PreferencesViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    QLabel *cacheSize() const { return m_size; }
    QComboBox *cacheLimit() const { return m_limit; }
    QPushButton *clearButton() const { return m_clear; }
    QLabel *status() const { return m_status; }

    // Takes text as the cache's limit: stores it and trims the cache to it. False (and the
    // limit unchanged) when text is no size the screen takes.
    bool applyLimit(const QString &text);
    // Removes every cached page and photo but the favorites'.
    void clearCache();
    // True while a measure, trim or clear runs in the background.
    bool isBusy() const { return m_busy > 0; }

signals:
    // The cache was measured anew (after the screen appeared, a trim or a clear).
    void cacheMeasured(qint64 bytes);

private:
    void showSeenCount();
    // Runs work (trimming to limit bytes, or none when limit is negative) in the background,
    // then measures the cache and reports removed bytes with done.
    void trimThenMeasure(qint64 limit, const std::function<void(qint64 removed)> &done);
    void showSize(qint64 bytes);
    void showStatus(const QString &text, bool problem = false);
    void showStoredLimit();

    QLabel *m_size = nullptr;
    QComboBox *m_limit = nullptr;
    QPushButton *m_clear = nullptr;
    QLabel *m_seenCount = nullptr;
    QLabel *m_status = nullptr;
    int m_busy = 0;
};
