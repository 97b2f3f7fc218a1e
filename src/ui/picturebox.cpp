#include "ui/picturebox.h"

#include "ui/nightvision.h"

#include <QFile>

PictureBox::PictureBox(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    connect(NightVision::instance(), &NightVision::changed, this, &PictureBox::showScaled);
}

void PictureBox::setPaper(bool paper)
{
    m_paper = paper;
    showScaled();
}

void PictureBox::loadFile(const QString &file)
{
    m_source = sharpPixmap(file, devicePixelRatioF());
    showScaled();
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showScaled();
}

void PictureBox::showScaled()
{
    if (m_source.isNull()) {
        clear();
        return;
    }
    const QSize box = contentsRect().size().expandedTo(minimumSize().shrunkBy(contentsMargins()));
    // Scaled in device pixels, so a twice-size picture stays sharp.
    const qreal ratio = m_source.devicePixelRatio();
    QPixmap shown = m_source.scaled(box * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    setPixmap(m_paper && NightVision::isOn() ? NightVision::tint(shown, true) : shown);
}

QString PictureBox::doubleSizeFile(const QString &file)
{
    const qsizetype dot = file.lastIndexOf('.');
    return dot < 0 ? file + "@2x" : file.left(dot) + "@2x" + file.mid(dot);
}

QPixmap PictureBox::sharpPixmap(const QString &file, qreal ratio)
{
    QPixmap pix;
    // Screens at twice the scale get the picture drawn at twice the size,
    // shown in the same room as the plain one.
    if (ratio >= 2 && QFile::exists(doubleSizeFile(file)) && pix.load(doubleSizeFile(file))) {
        pix.setDevicePixelRatio(2);
        return pix;
    }
    if (QFile::exists(file))
        pix.load(file);
    return pix;
}

bool PictureBox::loadFixed(QLabel *box, const QString &file)
{
    const QPixmap pix = sharpPixmap(file, box->devicePixelRatioF());
    if (pix.isNull()) {
        box->setText("No chart here: the picture " + file + " is missing.");
        box->setAlignment(Qt::AlignCenter);
        box->setWordWrap(true);
        box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        box->setMinimumSize(320, 240);
        return false;
    }
    // A chart is paper: at night it turns black with red ink.
    box->setPixmap(NightVision::isOn() ? NightVision::tint(pix, true) : pix);
    box->setFixedSize(pix.deviceIndependentSize().toSize());
    return true;
}
