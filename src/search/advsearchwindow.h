#pragma once

#include "search/searchcriteria.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// adv_search, "Advanced Search": the search criteria picked from fixed lists.
// "Retrieve My Selections" stores them in Module1::Search and opens the
// output window (or prints at once when the preview asked for a print).
class AdvSearchWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AdvSearchWindow(QWidget *parent = nullptr);

    // What the controls show now, as StoreSearchCriteria reads them.
    SearchChoices choices() const;

public slots:
    void retrieve();
    void refresh();
    void exitSearch();

protected:
    // However it closes (Exit, the frame, the SAC browser closing), the
    // output window that reads these criteria closes with it.
    void closeEvent(QCloseEvent *event) override;
    // Enter runs "Retrieve My Selections" wherever the focus is but on a button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildCriteria();
    QGroupBox *observedFrame();
    QGridLayout *listsLayout();
    QGridLayout *criteriaLayout(QGroupBox *observedFrame);
    QComboBox *dropDown(const char *name, const QStringList &items, const char *coverName,
                        const QString &coverText);

    QListWidget *m_types;
    QListWidget *m_constellations;
    QComboBox *m_magnitude;
    QComboBox *m_magnitudeWay;
    QLabel *m_than;
    QComboBox *m_ra;
    QComboBox *m_dec;
    QComboBox *m_u2k;
    QComboBox *m_ti;
    QComboBox *m_catalogue;
    QComboBox *m_collection;
    QComboBox *m_desc1;
    QComboBox *m_desc2;
    QComboBox *m_sort;
    QRadioButton *m_all;
    QRadioButton *m_observed;
    QRadioButton *m_notObserved;
};
