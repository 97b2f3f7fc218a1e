#pragma once

#include "data/observationimages.h"

#include <QWidget>

#include <vector>

class QHBoxLayout;
class QLabel;

// The pictures of the observation a logbook shows, as thumbnails beside it:
// a click opens one large, where it can be removed (after a question; the
// file stays and the store keeps it as removed).
class ImageStrip : public QWidget
{
    Q_OBJECT
public:
    explicit ImageStrip(QWidget *parent = nullptr);

    // The observation shown; an empty table or rowid 0 shows none.
    void setObservation(const QString &table, qint64 rowid);
    // Copies the pictures in and shows them; each file that cannot be
    // attached is named in a message, the others still come in. Returns
    // how many were attached.
    int attach(const QStringList &files);
    const std::vector<ObservationImage> &images() const { return m_images; }
    // The picture at `index` in a window of its own, as large as fits.
    QWidget *openLarge(int index);
    // Asks, then removes the picture; true when it was removed.
    bool askToRemove(qint64 id);

private:
    void reload();

    QString m_table;
    qint64 m_rowid = 0;
    std::vector<ObservationImage> m_images;
    QHBoxLayout *m_row;
    QLabel *m_empty;
};
