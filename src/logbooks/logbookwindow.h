#pragma once

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class RecordBinder;
class RecordSource;

// What every catalogue logbook shares: the record source of its catalogue
// (datPrimaryRS) and of the default observation values (datprimaryrs2), bound
// controls made by column name, the copy of the defaults into the record and
// back, the commit idiom, and the protocol with the main menu.
class LogbookWindow : public QMainWindow
{
    Q_OBJECT
public:
    RecordSource *primary() const { return m_primary; }
    RecordSource *defaults() const { return m_defaults; }

    // A control of this window by its name ("txtFields_11", "Combo2").
    template <typename T = QWidget> T *control(const QString &name) const { return findChild<T *>(name); }

    // Copies the text (or tick) of one control into another, as typing would.
    static void copyControl(QWidget *from, QWidget *to);
    // The text a control shows (line edit, combo box, notes box) or "1"/"0" for a check box.
    static QString controlText(const QWidget *control);
    static void setControlText(QWidget *control, const QString &text);

protected:
    LogbookWindow(const QString &name, const QString &title, QWidget *parent = nullptr);

    // Opens both record sources; a failure is the record source's own error.
    void openSources(const QString &primaryQuery);

    QLineEdit *boundLine(const QString &name, const QString &column, bool onDefaults = false);
    QPlainTextEdit *boundNotes(const QString &name, const QString &column);
    QComboBox *boundCombo(const QString &name, const QString &column, const QStringList &items);
    QCheckBox *boundCheck(const QString &name, const QString &caption, const QString &column,
                          bool onDefaults = false);
    // A row of a form: the label becomes the field's buddy, so the field's
    // accessible name is the label's text.
    static QLabel *addRow(QFormLayout *form, const QString &label, QWidget *field, QWidget *extra = nullptr);

    // "Ins" and "U": pairs of (default control, record control), copied in order.
    using CopyPairs = std::vector<std::pair<QString, QString>>;
    void copyDefaultsIntoRecord(const CopyPairs &pairs);
    void copyRecordIntoDefaults(const CopyPairs &pairs);
    // Writes the defaults row by moving off it and back.
    void saveDefaultsRow();

    QAction *addMenuItem(QMenu *menu, const QString &name, const QString &caption,
                         std::function<void()> action);

    // The unload steps of the logbook (the main-menu protocol runs after them).
    virtual void unload() {}
    void closeEvent(QCloseEvent *event) override;

private:
    RecordSource *m_primary;
    RecordSource *m_defaults;
    RecordBinder *m_primaryBinder;
    RecordBinder *m_defaultsBinder;
    bool m_unloaded = false;
};
