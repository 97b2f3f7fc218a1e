#pragma once

#include "data/recordsource.h"
#include "ui/logbookdeclaration.h"

#include <QMainWindow>

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class ImageStrip;
class LogbookForm;
class RecordBinder;

// A catalogue logbook built from its declaration: the record source of its catalogue
// (datPrimaryRS) and of the default observation values (datprimaryrs2), the
// bound fields in their groups, the navigator, "Update All Information",
// "Ins" and "U", the aid buttons, the menus and the unload steps. A logbook
// class adds only what is its own.
class LogbookWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit LogbookWindow(const LogbookDeclaration &book, QWidget *parent = nullptr);

    const LogbookDeclaration &declaration() const { return m_declaration; }
    QSize sizeHint() const override;
    RecordSource *primary() const { return m_primary; }
    RecordSource *defaults() const { return m_defaults; }

    // A control of this window by its name ("txtFields_11", "Combo2").
    template <typename T = QWidget> T *control(const QString &name) const { return findChild<T *>(name); }
    QString text(const QString &control) const;

    using Nav = RecordSource::Move;
    // The navigator's moves; a logbook with moves of its own overrides it.
    virtual bool navigate(Nav nav);
    bool updateAll();      // the commit idiom: off the row and back
    void insertDefaults(); // "Ins"
    bool storeDefaults();  // "U"
    // Writes what was typed into the current rows as closing does (an added
    // row left untouched is dropped); false (with the commit's message shown)
    // when the store refuses it, unless the store could not write at all and
    // the user had the typing kept in the recovery file.
    bool writePending();
    // Shows the row stored under `rowid`, bringing back every row of the
    // logbook when the rows shown now leave it out; false when the logbook
    // has no such row (the user is told).
    bool showRow(qint64 rowid);
    // Copies the pictures in beside the current observation (what was typed
    // is written first); returns how many came in.
    int attachImages(const QStringList &files);
    ImageStrip *images() const { return m_images; }
    // The object's kept observations, in a list over the logbook (what was
    // typed is written first); null when it has none to list.
    QWidget *showObservations();
    // Starts another observation of the object on screen: what was typed is
    // written and the night's fields are emptied; the one before stays kept,
    // and stays shown when the new one is left empty. False when nothing was
    // started.
    bool newObservation();

signals:
    void reportRequested(const QString &file);
    void endReportRequested();

protected:
    // Opens both record sources; a logbook calls it once its own parts are
    // connected, so they see the first row.
    void openSources();

    // The row above the form, where a logbook puts its own jump lists; the
    // navigator closes it.
    QHBoxLayout *findBar() const { return m_findBar; }
    // Puts `field` with its label and a gap into the find bar at `at`, which
    // moves past them.
    void addToFindBar(int &at, const QString &label, QWidget *field, int gap = 12);
    // A typed-into list of `items` for jumping to a row, labelled in the find
    // bar at `at`; the logbook connects what a choice does.
    QComboBox *addJumpList(int &at, const QString &name, const QString &label, const QString &accessible,
                           const QStringList &items = {});
    // The box of a group, below its fields, for a logbook's own widgets.
    QVBoxLayout *groupLayout(const QString &group) const;
    // The row of "Update All Information", for a logbook's own buttons.
    QGridLayout *actionBar() const { return m_actionBar; }
    QPushButton *addActionButton(const QString &name, const QString &caption,
                                 const QString &toolTip = QString());
    // Puts a widget after the action buttons (moving it there if it is one,
    // so that each widget has one place and no two share one).
    void addActionWidget(QWidget *widget);

    // The size the form would like, before the window's margins and the
    // screen's bounds.
    virtual QSize formSizeHint() const;
    // The lists of a logbook follow its record after every move.
    virtual void afterMove() {}
    // An aid button or menu item whose action the logbook defines itself.
    virtual void ownAction(const QString &key) { Q_UNUSED(key); }
    virtual bool keepsLastRow(const QString &remembered) const;
    // The logbook's own unload steps; the main menu follows the close.
    virtual void unload() {}
    // Back to all the logbook's rows, from a narrowed choice.
    virtual void showAllRows();

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool keepInRecoveryFile();
    void buildForm();
    void buildMenus(QWidget *menuParent, const std::vector<LogbookMenuItem> &items);
    void runMenuAction(const LogbookMenuItem &item);
    void addHistoryItem();
    void addFindItem();
    void addGoToItem();
    void addEquipmentItem();
    void addChartItem();
    void addImageItem();
    void addRegisterCompletion();
    void addTonightItem();
    void addProgressItem();
    void addViewMenu();
    void addObservationButtons();
    void showObservationCount();
    void showHistory();
    void fillSessionDefaults();

    LogbookDeclaration m_declaration;
    RecordSource *m_primary;
    RecordSource *m_defaults;
    RecordBinder *m_primaryBinder;
    RecordBinder *m_defaultsBinder;
    LogbookForm *m_form;
    ImageStrip *m_images = nullptr;
    QPushButton *m_observations = nullptr; // "3 observations"
    QHBoxLayout *m_findBar = nullptr;
    QGridLayout *m_actionBar = nullptr;
    std::vector<std::pair<QString, QVBoxLayout *>> m_groups;
    std::vector<QWidget *> m_actions; // the action row's widgets, in order
    bool m_unloaded = false;
    bool m_sourcesOpened = false;
    bool m_fitted = false;
};
