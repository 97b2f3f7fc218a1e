#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// Help > Restore a backup…: the daily backups of the logbook, newest first,
// each with what its check found. Restoring keeps the logbook as it was
// beside it, so choosing the wrong day loses nothing.
class BackupsWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmbackups";

    explicit BackupsWindow(QWidget *parent = nullptr);

    // Asked at a start that found the store damaged: true restores the
    // backup, false starts on a new logbook.
    static bool offer(const QString &notice, const QString &backupPath);

private:
    void fill();
    void restoreChosen();

    QLabel *m_notice = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_restore = nullptr;
};
