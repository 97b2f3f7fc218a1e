#pragma once

#include <QImage>
#include <QObject>

#include <functional>

class QAction;
class QPainter;
class QPixmap;
class QTextDocument;
class QWidget;

// Night vision: dim red on black for the whole program, so an observer's
// dark-adapted eyes survive a glance at the screen. One palette and style
// sheet for every window, and pictures turned red where they are drawn.
class NightVision : public QObject
{
    Q_OBJECT
public:
    static NightVision *instance();

    static bool isOn();
    // Switches the whole program; `remember` keeps the choice for the next run.
    static void setOn(bool on, bool remember = true);
    // At start-up, before any window: the remembered choice, or on when forced
    // (the --night switch).
    static void start(bool forceOn);

    // The View menu's checkable item (Ctrl+Shift+N), kept in step with the mode.
    static QAction *createAction(QObject *parent);

    // Luminance to red only; `paper` turns a white page black with red ink.
    static QImage tint(const QImage &image, bool paper = false);
    static QPixmap tint(const QPixmap &pixmap, bool paper = false);
    // A document's own colours (headings, cell shading, table rules) give
    // way to the palette's, so a help page is no brighter than its window.
    static void redDocument(QTextDocument *document);
    // Paints `draw` on the widget, through the red filter while the mode is on.
    static void paint(QWidget *widget, const std::function<void(QPainter &)> &draw, bool paper = false);

    static const char *const kSettingsKey;

signals:
    void changed(bool on);

private:
    NightVision() = default;
};
