#include "reports/progresspicturewidget.h"

#include "ui/nightvision.h"

#include <QPainter>

ProgressPictureWidget::ProgressPictureWidget(const QSize &designed, QWidget *parent)
    : QWidget(parent), m_designed(designed)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ProgressPictureWidget::setPaint(ProgressPictures::Paint paint)
{
    m_paint = std::move(paint);
    update();
}

QRectF ProgressPictureWidget::pictureRect() const
{
    const QSizeF fitted = QSizeF(m_designed).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

QImage ProgressPictureWidget::image(qreal scale) const
{
    return m_paint ? ProgressPictures::image(m_designed, scale, m_paint) : QImage();
}

void ProgressPictureWidget::paintEvent(QPaintEvent *)
{
    NightVision::paint(
        this,
        [this](QPainter &painter) {
            painter.fillRect(rect(), Qt::white);
            if (m_paint)
                m_paint(painter, pictureRect());
        },
        true);
}
