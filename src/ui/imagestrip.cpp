#include "ui/imagestrip.h"

#include "data/command.h"
#include "data/dataerror.h"
#include "data/messages.h"
#include "data/store.h"
#include "ui/confirmdeletedialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kThumb = 72;

std::shared_ptr<Store> store()
{
    return Store::shared(ConnectionStrings::kBound);
}

QString dataDir(const Store &s)
{
    return QFileInfo(s.path()).absolutePath();
}

QImage readScaled(const QString &path, const QSize &bound)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > bound.width() || size.height() > bound.height()))
        reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

ImageStrip::ImageStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName("imageStrip");
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel("Pictures:", this);
    outer->addWidget(label);
    m_empty = new QLabel("none (drop a PNG or JPEG file here, or File > Attach Image…)", this);
    m_empty->setObjectName("lblNoImages");
    outer->addWidget(m_empty);
    m_row = new QHBoxLayout;
    outer->addLayout(m_row);
    outer->addStretch(1);
    setEnabled(false);
}

void ImageStrip::setObservation(const QString &table, qint64 rowid)
{
    m_table = table;
    m_rowid = rowid;
    reload();
}

void ImageStrip::reload()
{
    while (QLayoutItem *item = m_row->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_images.clear();
    setEnabled(!m_table.isEmpty() && m_rowid != 0);
    if (isEnabled()) {
        runCommand([this] {
            const std::shared_ptr<Store> s = store();
            m_images = ObservationImages::of(s->db(), m_table, m_rowid);
            const QString dir = dataDir(*s);
            for (size_t i = 0; i < m_images.size(); ++i) {
                auto *b = new QToolButton(this);
                b->setObjectName(QStringLiteral("imgThumb_%1").arg(i));
                b->setAccessibleName("Picture " + m_images[i].original);
                b->setToolTip(m_images[i].original + " (click to open)");
                const int size = kThumb * logicalDpiY() / 96;
                const QImage thumb = readScaled(QDir(dir).filePath(m_images[i].file), QSize(size, size));
                b->setIcon(QIcon(QPixmap::fromImage(thumb)));
                b->setIconSize(QSize(size, size));
                if (thumb.isNull())
                    b->setText("missing");
                connect(b, &QToolButton::clicked, this, [this, i] { openLarge(int(i)); });
                m_row->addWidget(b);
            }
        });
    }
    m_empty->setVisible(m_images.empty());
}

int ImageStrip::attach(const QStringList &files)
{
    if (!isEnabled()) {
        Messages::show("Pictures go with a stored observation: store this one first (Update All Information).");
        return 0;
    }
    int added = 0;
    QStringList refused;
    for (const QString &file : files) {
        try {
            const std::shared_ptr<Store> s = store();
            ObservationImages::attach(s->db(), dataDir(*s), m_table, m_rowid, file);
            ++added;
        } catch (const DataError &e) {
            refused << e.description();
        }
    }
    reload();
    if (!refused.isEmpty())
        Messages::show(refused.join('\n'));
    return added;
}

QWidget *ImageStrip::openLarge(int index)
{
    if (index < 0 || index >= int(m_images.size()))
        return nullptr;
    const ObservationImage image = m_images[size_t(index)];
    auto *w = new QWidget(window(), Qt::Window);
    w->setObjectName("frmimage");
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(image.original);
    const QSize room = screen() ? screen()->availableGeometry().size() * 4 / 5 : QSize(1024, 768);
    auto *picture = new QLabel(w);
    picture->setObjectName("imgLarge");
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName("Picture " + image.original);
    runCommand([&] {
        picture->setPixmap(QPixmap::fromImage(readScaled(QDir(dataDir(*store())).filePath(image.file), room)));
    });
    if (picture->pixmap().isNull())
        picture->setText("The picture " + image.file + " is missing.");
    auto *remove = new QPushButton("&Remove Picture…", w);
    remove->setObjectName("cmdRemoveImage");
    auto *close = new QPushButton("&Close", w);
    close->setObjectName("cmdClose");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(remove);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(picture, 1);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, w, &QWidget::close);
    connect(remove, &QPushButton::clicked, w, [this, w, id = image.id] {
        if (askToRemove(id))
            w->close();
    });
    w->show();
    return w;
}

bool ImageStrip::askToRemove(qint64 id)
{
    bool removed = false;
    ConfirmDeleteDialog ask("frmremoveimage", "Remove Picture",
                            "Remove this picture from the observation?\nThe file stays in the images folder, "
                            "and the store keeps it as removed.",
                            [&] {
                                removed = runCommand([&] { ObservationImages::remove(store()->db(), id); });
                                return removed;
                            },
                            window());
    ask.exec();
    reload();
    return removed;
}
