#pragma once

#include "reports/progresspictures.h"

#include <QWidget>

// Shows one progress picture, drawn afresh at the widget's size and screen
// scale, keeping the proportions it was laid out for.
class ProgressPictureWidget : public QWidget
{
    Q_OBJECT
public:
    ProgressPictureWidget(const QSize &designed, QWidget *parent = nullptr);

    void setPaint(ProgressPictures::Paint paint);
    QSize sizeHint() const override { return m_designed; }
    QSize minimumSizeHint() const override { return m_designed / 2; }
    // The picture as the widget draws it, at `scale`: for saving.
    QImage image(qreal scale) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF pictureRect() const;

    QSize m_designed;
    ProgressPictures::Paint m_paint;
};
