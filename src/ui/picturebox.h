#pragma once

#include <QLabel>
#include <QPixmap>

// A picture that fills its box, scaled with its aspect kept as the window
// resizes: the Messier object's chart, a body of the solar system. A file
// that is missing leaves the box empty.
class PictureBox : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Loads the file, or its twice-sized drawing on a screen at 200%.
    void loadFile(const QString &file);
    bool isEmpty() const { return m_source.isNull(); }
    // A chart on white paper, which night vision turns black with red ink
    // rather than bright red; a photograph is only turned red.
    void setPaper(bool paper);

    // A picture, or its twice-sized drawing ("map/3012map@2x.gif" beside
    // "map/3012map.gif") when the screen's pixel ratio is 2 or more; null
    // when neither can be read.
    static QPixmap sharpPixmap(const QString &file, qreal ratio);
    static QString doubleSizeFile(const QString &file);
    // Loads a picture at its own size into a fixed box (the finder charts); a
    // missing or unreadable file leaves a notice in the box instead.
    static bool loadFixed(QLabel *box, const QString &file);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showScaled();

    QPixmap m_source;
    bool m_paper = false;
};
