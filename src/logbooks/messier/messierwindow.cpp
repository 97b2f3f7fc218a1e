#include "logbooks/messier/messierwindow.h"

#include "data/command.h"
#include "data/trace.h"
#include "logbooks/messier/messierdeclaration.h"
#include "ui/findermaps.h"
#include "ui/module1.h"
#include "ui/picturebox.h"
#include "ui/reportstarts.h"
#include "ui/windows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString MessierWindow::pictureFile(const QString &id)
{
    bool ok = false;
    const int n = id.trimmed().toInt(&ok);
    return "pics/" + (ok ? QString("%1").arg(n, 3, 10, QChar('0')) : id.trimmed()) + ".jpg";
}

MessierWindow::MessierWindow(QWidget *parent) : LogbookWindow(MessierLogbook::declaration(), parent)
{
    buildOwnParts();
    openSources();
    // Loading: the month list shows the first row's month; number order.
    m_combo4->setCurrentText(text("txtFields_18"));
    m_text11->setText("Messier #");
    Trace::mark("Messier logbook on its first row");
}

void MessierWindow::buildOwnParts()
{
    QStringList numbers;
    for (int i = 1; i <= 110; ++i)
        numbers << QString::number(i);
    int at = 0;
    m_combo1 = addJumpList(at, "Combo1", "Go to &M", "Go to Messier number", numbers);
    m_combo1->setCurrentText("1");
    m_combo4 = addJumpList(at, "Combo4", "Go to mon&th", "Go to month",
                           {"January", "February", "March", "April", "May", "June", "July", "August",
                            "September", "October", "November", "December"});
    m_text11 = new QLineEdit(this);
    m_text11->setObjectName("Text11");
    m_text11->setReadOnly(true);
    m_text11->setAccessibleName("Sorted by:");
    m_text11->setMinimumWidth(m_text11->fontMetrics().horizontalAdvance("Messier #") + 16);
    m_text11->setMaximumWidth(m_text11->fontMetrics().horizontalAdvance("Messier #") * 2);
    addToFindBar(at, "Sorted by:", m_text11);

    m_picture = new PictureBox(this);
    m_picture->setObjectName("Picture1");
    m_picture->setMinimumSize(200, 100);
    // The picture follows the box, not the other way round.
    m_picture->setAccessibleName("Picture of the object");
    m_picture->setPaper(true); // the objects' pictures are charts
    groupLayout("Object")->addWidget(m_picture, 1);

    QPushButton *map = addActionButton("Command1", "Map", "Finder map of this object");
    m_command2 = addActionButton("Command2", " Notes");
    m_command4 = addActionButton("Command4", " Worksheet");

    connect(m_combo1, &QComboBox::activated, this, [this] { jumpToNumber(m_combo1->currentText()); });
    connect(m_combo4, &QComboBox::activated, this, [this] { jumpToMonth(m_combo4->currentText()); });
    connect(m_command2, &QPushButton::clicked, this, [this] { showMonthNotes(); });
    connect(m_command4, &QPushButton::clicked, this,
            [this] { Reports::startMonthWorksheet(m_command4->text()); });
    connect(map, &QPushButton::clicked, this,
            [this] { FinderMaps::ShowMessierMap(m_combo1->currentText()); });

    // The change event of the txtFields array.
    for (int index : {2, 5, 6, 7, 9, 11, 14, 17, 18, 19}) {
        const QString name = QString("txtFields_%1").arg(index);
        if (auto *e = control<QLineEdit>(name))
            connect(e, &QLineEdit::textChanged, this, [this, index] { onFieldChanged(index); });
        else if (auto *p = control<QPlainTextEdit>(name))
            connect(p, &QPlainTextEdit::textChanged, this, [this, index] { onFieldChanged(index); });
    }
    setTabOrder(m_combo1, m_combo4);
}

void MessierWindow::onFieldChanged(int index)
{
    if (index == 6)
        loadPicture();
    const QString month = text("txtFields_18");
    m_command2->setText(month + " Notes");
    m_command4->setText(month + " Worksheet");
}

void MessierWindow::loadPicture()
{
    const QString id = text("txtFields_6");
    if (id.isEmpty())
        return;
    // A missing picture leaves the box empty.
    // The twice-size drawing on a screen at 200%.
    m_picture->loadFile(pictureFile(id));
}

void MessierWindow::afterMove()
{
    m_combo1->setCurrentText(text("Text1"));
    m_combo4->setCurrentText(text("txtFields_18"));
}

void MessierWindow::jumpToNumber(const QString &number)
{
    runCommand([&] {
        primary()->setRecordSource(MessierLogbook::kByNumber);
        primary()->requery();
        primary()->moveFirst();
        primary()->find("mes ='" + number + "'");
        m_text11->setText("Messier #");
        m_combo4->setCurrentText(text("txtFields_18"));
    });
}

void MessierWindow::jumpToMonth(const QString &month)
{
    runCommand([&] {
        primary()->setRecordSource(MessierLogbook::kByMonth);
        primary()->requery();
        primary()->moveFirst();
        primary()->find("view_month ='" + month + "'");
        m_combo1->setCurrentText(text("Text1"));
        m_text11->setText("Month");
    });
}

void MessierWindow::showMonthNotes()
{
    Module1::MonthKey = m_command2->text();
    Windows::exec("frmmonth_view");
}
