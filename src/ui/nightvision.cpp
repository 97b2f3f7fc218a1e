#include "ui/nightvision.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QSettings>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextTable>
#include <QWidget>

#include <algorithm>

namespace {

bool g_on = false;
bool g_installed = false;
QPalette g_dayPalette;
QString g_daySheet;

// Red never brighter than this: bright enough to read, dim enough to keep
// the eyes dark-adapted.
constexpr int kBrightest = 200;

const char *const kDayPalette = "velnoraDayPalette";

QColor red(int level)
{
    return QColor(level, 0, 0);
}

// A colour a window chose for itself, as red of its brightness.
QColor reddened(const QColor &c)
{
    return QColor(qGray(c.rgb()) * kBrightest / 255, 0, 0, c.alpha());
}

QPalette nightPalette()
{
    QPalette p;
    auto set = [&p](QPalette::ColorRole role, int level) { p.setColor(role, red(level)); };
    set(QPalette::Window, 14);
    set(QPalette::WindowText, 185);
    set(QPalette::Base, 0);
    set(QPalette::AlternateBase, 22);
    set(QPalette::Text, 185);
    set(QPalette::PlaceholderText, 100);
    set(QPalette::Button, 34);
    set(QPalette::ButtonText, 185);
    set(QPalette::BrightText, kBrightest);
    set(QPalette::Light, 70);
    set(QPalette::Midlight, 50);
    set(QPalette::Mid, 40);
    set(QPalette::Dark, 24);
    set(QPalette::Shadow, 0);
    set(QPalette::Highlight, 120);
    set(QPalette::HighlightedText, 0);
    set(QPalette::Link, kBrightest);
    set(QPalette::LinkVisited, 140);
    set(QPalette::ToolTipBase, 30);
    set(QPalette::ToolTipText, 185);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, red(90));
    p.setColor(QPalette::Disabled, QPalette::Highlight, red(60));
    return p;
}

// What the palette does not reach.
const char *const kNightSheet = "QToolTip { color: #b90000; background-color: #1e0000; border: 1px solid #500000; }";

// Pictures drawn by the style (labels' pictures, tool buttons) are turned
// red as they are painted; with the mode off it is the plain style.
class NightStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawItemPixmap(QPainter *painter, const QRect &rect, int alignment, const QPixmap &pixmap) const override
    {
        if (!NightVision::isOn() || pixmap.isNull()) {
            QProxyStyle::drawItemPixmap(painter, rect, alignment, pixmap);
            return;
        }
        const QString key = QStringLiteral("velnora-night-%1").arg(pixmap.cacheKey());
        QPixmap red;
        if (!QPixmapCache::find(key, &red)) {
            red = NightVision::tint(pixmap);
            QPixmapCache::insert(key, red);
        }
        QProxyStyle::drawItemPixmap(painter, rect, alignment, red);
    }

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;

    // Qt's text caret inverts what lies under it (white on black); at night
    // it is hidden and OwnColours draws a red one instead.
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TextCursorWidth && NightVision::isOn())
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The style's own icons follow the mode, also in a window opened before it changed.
class NightIconEngine : public QIconEngine
{
public:
    explicit NightIconEngine(const QIcon &day) : m_day(day) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, painter->device()->devicePixelRatioF()));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        const QPixmap day = m_day.pixmap(size, scale, mode, state);
        return NightVision::isOn() ? NightVision::tint(day) : day;
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_day.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_day.availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new NightIconEngine(m_day); }
    QString key() const override { return QStringLiteral("velnora-night"); }

private:
    QIcon m_day;
};

QIcon NightStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    return QIcon(new NightIconEngine(QProxyStyle::standardIcon(icon, option, widget)));
}

bool g_reddening = false;

void redden(QWidget *w)
{
    QPalette own = w->palette();
    w->setProperty(kDayPalette, QVariant::fromValue(own));
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            if (own.isBrushSet(group, role))
                own.setColor(group, role, reddened(own.color(group, role)));
        }
    g_reddening = true;
    w->setPalette(own);
    g_reddening = false;
}

// The editor whose caret a paint of `w` shows: a line edit, or the text
// editor whose viewport `w` is.
QWidget *caretOwner(QWidget *w)
{
    if (qobject_cast<QLineEdit *>(w))
        return w;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(w->parentWidget());
        area && area->viewport() == w && (qobject_cast<QTextEdit *>(area) || qobject_cast<QPlainTextEdit *>(area)))
        return area;
    return nullptr;
}

// A window that sets colours of its own (a hover colour, a mark) keeps them
// as shades of red while the mode is on; editors get a red caret.
class OwnColours : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (g_on && event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            QWidget *editor = caretOwner(w);
            if (editor && editor->hasFocus() && !editor->property("readOnly").toBool()) {
                static_cast<QObject *>(w)->event(event);
                QRect caret = editor->inputMethodQuery(Qt::ImCursorRectangle).toRect();
                if (editor != w)
                    caret.translate(-w->pos());
                QPainter(w).fillRect(QRect(caret.left(), caret.top(), 2, caret.height()), red(kBrightest));
                return true;
            }
        }
        if (g_on && !g_reddening && (event->type() == QEvent::Polish || event->type() == QEvent::PaletteChange) &&
            watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->testAttribute(Qt::WA_SetPalette))
                redden(w);
        }
        return false;
    }
};

void install()
{
    if (g_installed)
        return;
    g_installed = true;
    g_dayPalette = QApplication::palette();
    g_daySheet = qApp->styleSheet();
    QApplication::setStyle(new NightStyle(QApplication::style()->name()));
    qApp->installEventFilter(new OwnColours);
}

QSettings settings()
{
    return QSettings(QStringLiteral("Velnora"), QStringLiteral("Velnora"));
}

} // namespace

const char *const NightVision::kSettingsKey = "view/nightVision";

NightVision *NightVision::instance()
{
    static NightVision *one = new NightVision;
    return one;
}

bool NightVision::isOn()
{
    return g_on;
}

void NightVision::setOn(bool on, bool remember)
{
    if (remember)
        settings().setValue(kSettingsKey, on);
    if (on == g_on)
        return;
    install();
    g_on = on;
    QPixmapCache::clear();
    if (on) {
        QApplication::setPalette(nightPalette());
        qApp->setStyleSheet(kNightSheet);
        for (QWidget *w : QApplication::allWidgets())
            if (w->testAttribute(Qt::WA_SetPalette))
                redden(w);
    } else {
        for (QWidget *w : QApplication::allWidgets()) {
            const QVariant day = w->property(kDayPalette);
            if (!day.isValid())
                continue;
            w->setProperty(kDayPalette, QVariant());
            w->setPalette(day.value<QPalette>());
        }
        qApp->setStyleSheet(g_daySheet);
        QApplication::setPalette(g_dayPalette);
    }
    for (QWidget *w : QApplication::allWidgets())
        w->update();
    emit instance()->changed(on);
}

void NightVision::start(bool forceOn)
{
    if (forceOn)
        setOn(true, false);
    else if (settings().value(kSettingsKey, false).toBool())
        setOn(true, false);
}

QAction *NightVision::createAction(QObject *parent)
{
    auto *action = new QAction(QStringLiteral("&Night Vision"), parent);
    action->setObjectName(QStringLiteral("mnuNightVision"));
    action->setCheckable(true);
    action->setChecked(isOn());
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    action->setToolTip(QStringLiteral("Dim red on black, for the eyepiece"));
    // Only the user's toggle is remembered, not the item following the mode.
    connect(action, &QAction::toggled, instance(), [](bool on) {
        if (on != isOn())
            setOn(on);
    });
    connect(instance(), &NightVision::changed, action, &QAction::setChecked);
    return action;
}

QImage NightVision::tint(const QImage &image, bool paper)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            // A picture already turned red stays as it is.
            if (qRed(line[x]) > 0 && qGreen(line[x]) == 0 && qBlue(line[x]) == 0) {
                line[x] = qRgba(std::min(qRed(line[x]), kBrightest), 0, 0, qAlpha(line[x]));
                continue;
            }
            int level = qGray(line[x]);
            if (paper)
                level = 255 - level;
            line[x] = qRgba(level * kBrightest / 255, 0, 0, qAlpha(line[x]));
        }
    }
    return out;
}

QPixmap NightVision::tint(const QPixmap &pixmap, bool paper)
{
    QPixmap out = QPixmap::fromImage(tint(pixmap.toImage(), paper));
    out.setDevicePixelRatio(pixmap.devicePixelRatio());
    return out;
}

void NightVision::redDocument(QTextDocument *document)
{
    const QColor rule = reddened(QColor(Qt::gray));
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat paragraph = block.blockFormat();
        if (paragraph.hasProperty(QTextFormat::BackgroundBrush)) {
            paragraph.clearBackground();
            cursor.setPosition(block.position());
            cursor.setBlockFormat(paragraph);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::ForegroundBrush) && !format.hasProperty(QTextFormat::BackgroundBrush))
                continue;
            format.clearForeground();
            format.clearBackground();
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    for (QTextFrame *frame : document->rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorderBrush(rule);
            format.clearBackground();
            table->setFormat(format);
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c) {
                    QTextTableCell cell = table->cellAt(r, c);
                    QTextCharFormat shading = cell.format();
                    if (shading.hasProperty(QTextFormat::BackgroundBrush)) {
                        shading.clearBackground();
                        cell.setFormat(shading);
                    }
                }
        }
}

void NightVision::paint(QWidget *widget, const std::function<void(QPainter &)> &draw, bool paper)
{
    if (!isOn()) {
        QPainter painter(widget);
        draw(painter);
        return;
    }
    const qreal ratio = widget->devicePixelRatioF();
    QImage canvas(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        draw(painter);
    }
    QImage red = tint(canvas, paper);
    red.setDevicePixelRatio(ratio);
    QPainter(widget).drawImage(0, 0, red);
}
